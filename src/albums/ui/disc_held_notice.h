// The line a wizard shows under its pages when the disc it has just read is in the collection
// already: "This disc is in the collection: file number F000123, Abba – Arrival" and "O&pen Album",
// which opens that album's form (UpdateAlbum, started by name) in front of the wizard. It asks
// nothing and stops nothing: the user reads on, or looks at the album first.
#pragma once

#include "albums/disc_in_collection.h"
#include "ui/procedure_registry.h"

#include <QFrame>

class QLabel;
class QPushButton;

namespace tunarium {

class DiscHeldNotice : public QFrame {
public:
    // `context` is the wizard's, called from the wizard window.
    explicit DiscHeldNotice(const ProcedureContext& context, QWidget* parent = nullptr);

    // The albums that hold the disc read last: the line tells the first (and how many more, each
    // named in its tip); hidden when there are none.
    void showHolders(const QVector<DiscHolder>& holders);
    // The album "Open Album" opens; 0 while hidden.
    qint64 albumId() const { return m_albumId; }
    QLabel* textLabel() const { return m_text; }
    QPushButton* openButton() const { return m_open; }

private:
    void openAlbum();

    ProcedureContext m_context;
    QLabel* m_text;
    QPushButton* m_open;
    qint64 m_albumId = 0;
};

} // namespace tunarium
