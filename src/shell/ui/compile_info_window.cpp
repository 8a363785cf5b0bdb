// The compile information window.
#include "shell/ui/compile_info_window.h"

#include "shell/build_info.h"
#include "shell/startup.h"
#include "ui/widget_geometry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

CompileInfoWindow::CompileInfoWindow(const QString& datePicture, const QString& positionFile, QWidget* parent)
    : QDialog(parent), m_positionFile(positionFile) {
    setWindowTitle(QStringLiteral("Compile Information"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QDateTime built = buildDateTime();
    const QString program = QCoreApplication::applicationFilePath();
    const QDateTime changed = QFileInfo(program).lastModified();
    const auto time = [](const QTime& t) {
        return t.isValid() ? QLocale().toString(t, QLocale::LongFormat) : QString();
    };
    const QPair<QString, QString> lines[] = {
        {QStringLiteral("Version"), QString::fromLatin1(kProgramVersion)},
        {QStringLiteral("Application"), QDir::toNativeSeparators(program)},
        {QStringLiteral("Creation Date:"), showDate(built.date(), datePicture)},
        {QStringLiteral("Creation Time:"), time(built.time())},
        {QStringLiteral("Change Date:"), showDate(changed.date(), datePicture)},
        {QStringLiteral("Change Time:"), time(changed.time())},
    };
    auto* form = new QFormLayout;
    for (const auto& [caption, text] : lines) {
        auto* label = new QLabel(text);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, label);
        m_values.append({caption, label});
    }
    // The build's word size, as the program was made.
    auto* bits = new QLabel(QStringLiteral("%1-bit").arg(QT_POINTER_SIZE * 8));
    auto* close = new QPushButton(QStringLiteral("Cl&ose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bits);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    restoreWidgetPosition(this, QString::fromLatin1(kCompileDateProcedure), m_positionFile);
}

QString CompileInfoWindow::value(const QString& caption) const {
    for (const auto& [name, label] : m_values) {
        if (name == caption) {
            return label->text();
        }
    }
    return {};
}

void CompileInfoWindow::done(int result) {
    saveWidgetPosition(this, QString::fromLatin1(kCompileDateProcedure), m_positionFile);
    QDialog::done(result);
}

} // namespace tunarium
