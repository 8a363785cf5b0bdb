// The album wizard's second step ("Step 2:  Enter the basic album information."): the album's
// artist and name (both required), media, category, file number, release date and the side or
// disc being filled, shown from the wizard and taken back into it.
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;

namespace tunarium {

class AlbumWizard;
class PictureEdit;
class Prompter;

class AlbumFactsPage : public QWidget {
public:
    explicit AlbumFactsPage(QWidget* parent = nullptr);

    PictureEdit* artistField() const { return m_artist; }
    PictureEdit* albumField() const { return m_album; }
    PictureEdit* fileNumberField() const { return m_fileNumber; }
    PictureEdit* sideField() const { return m_side; }
    QComboBox* mediaBox() const { return m_media; }
    QComboBox* categoryBox() const { return m_category; }

    // The album's facts, the media and category choices and the side, from `wizard`.
    void display(const AlbumWizard& wizard);
    void showSide(qint64 side);
    // "Side/Disc:" on or off (disabled, so that the layout does not jump between steps).
    void setSideEnabled(bool enabled);
    // Takes the fields into the wizard's album. A date or side that does not read, or a media or
    // category that is none of the choices, is told under `caption` ("Field Contents Error") and
    // returned, to go back to; null when every field was taken.
    QWidget* readInto(AlbumWizard& wizard, Prompter& prompter, const QString& caption);

private:
    PictureEdit* m_artist = nullptr;
    PictureEdit* m_album = nullptr;
    PictureEdit* m_fileNumber = nullptr;
    PictureEdit* m_releaseDate = nullptr;
    PictureEdit* m_side = nullptr;
    QLabel* m_sideLabel = nullptr;
    QComboBox* m_media = nullptr;
    QComboBox* m_category = nullptr;
};

} // namespace tunarium
