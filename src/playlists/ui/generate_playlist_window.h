// GeneratePlaylist ("Generate Play List"): the playlist generator's window. The number of songs,
// the release dates in the user's date picture, the category from a drop combo of the categories,
// the weighting, and the two choices beyond the generator's own behaviour; OK checks the choice
// (a field that is wrong is selected again with a message) and makes the playlist, and the window
// closes itself.
#pragma once

#include "catalogue/ui/form_window.h"
#include "data/settings.h"
#include "data/table_lease.h"
#include "playlists/playlist_generator.h"

#include <array>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QPushButton;

namespace tunarium {

class PictureEdit;

class GeneratePlaylistWindow : public FormWindow {
public:
    // Told the new playlist's number, or 0 when none was made.
    using Made = std::function<void(qint64 playlistId)>;

    // Opens the window in front of `caller`; nullptr when the tables cannot be opened.
    static GeneratePlaylistWindow* run(Database& db, const Settings& settings, const QString& positionFile,
                                       QMdiArea* area, QWidget* caller, Made made);

    PictureEdit* sizeEdit() const { return m_size; }
    PictureEdit* fromEdit() const { return m_from; }
    PictureEdit* toEdit() const { return m_to; }
    QComboBox* categoryBox() const { return m_category; }
    QRadioButton* weightingButton(Weighting weighting) const { return m_weightings[int(weighting)]; }
    QCheckBox* eachSongOnceBox() const { return m_once; }
    QCheckBox* skipDoNotPlayBox() const { return m_skip; }
    QCheckBox* compatibleKeysBox() const { return m_mixing; }
    QPushButton* okButton() const { return m_ok; }

    // The choice the controls show (a text that does not read leaves its value 0).
    GeneratorChoice choice() const;
    // OK: checks the choice, then makes the playlist and closes.
    void accept();

protected:
    void closed() override;

private:
    GeneratePlaylistWindow(Database& db, const Settings& settings, const QString& positionFile,
                           QWidget* caller, Made made);
    bool open(QMdiArea* area);
    void build();
    QWidget* fieldOf(GeneratorField field) const;
    // The size and dates read from their texts; a problem names a text that does not read.
    GeneratorProblem readChoice(GeneratorChoice& choice) const;

    Database& m_db;
    const Settings& m_settings;
    std::shared_ptr<qint64> m_made; // read by the answer after the window is gone
    TableLease m_tables;

    PictureEdit* m_size = nullptr;
    PictureEdit* m_from = nullptr;
    PictureEdit* m_to = nullptr;
    QComboBox* m_category = nullptr;
    std::array<QRadioButton*, 5> m_weightings{};
    QCheckBox* m_once = nullptr;
    QCheckBox* m_skip = nullptr;
    QCheckBox* m_mixing = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace tunarium
