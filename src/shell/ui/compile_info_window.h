// The compile information window (from the About window): the program's version, its file, and
// the dates and times it was built and last changed, the dates in the user's date format.
#pragma once

#include <QDialog>

class QLabel;

namespace tunarium {

inline constexpr char kCompileDateProcedure[] = "CompileDate";

class CompileInfoWindow : public QDialog {
    Q_OBJECT
public:
    // `datePicture` is the user's (Settings::datePicture); `positionFile` keeps the window's place.
    CompileInfoWindow(const QString& datePicture, const QString& positionFile, QWidget* parent = nullptr);

    // The value shown beside `caption` ("Creation Date:").
    QString value(const QString& caption) const;

private:
    void done(int result) override;

    QString m_positionFile;
    QList<QPair<QString, QLabel*>> m_values;
};

} // namespace tunarium
