// Stand-ins for the CD tests: a drive in any condition, a device that records the command strings
// sent through it and may change the answers of the device behind it, and a whole read.
#pragma once

#include "albums/cd_drive.h"
#include "albums/cd_reader.h"
#include "albums/mci_cd_audio.h"

#include <QFile>
#include <QStringList>

#include <functional>

namespace tunarium::test {

class FakeDrive final : public CdDrive {
public:
    DriveCondition open() override {
        ++opens;
        return openCondition;
    }
    DriveCondition condition() override { return discCondition; }
    const DiscToc& toc() const override { return disc; }
    void close() override { ++closes; }
    QString problem() const override { return problemText; }

    DriveCondition openCondition = DriveCondition::Ready;
    DriveCondition discCondition = DriveCondition::Ready;
    DiscToc disc;
    QString problemText;
    int opens = 0;
    int closes = 0;
};

class RecordingDevice final : public MciDevice {
public:
    using Rewrite = std::function<void(const QString& command, int& code, QString& reply)>;

    explicit RecordingDevice(MciDevice& inner, Rewrite rewrite = {})
        : m_inner(inner), m_rewrite(std::move(rewrite)) {}

    int sendString(QStringView command, QString& reply) override {
        commands << command.toString();
        int code = m_inner.sendString(command, reply);
        if (m_rewrite) {
            m_rewrite(commands.last(), code, reply);
        }
        return code;
    }
    QString problem() const override { return m_inner.problem(); }

    QStringList commands;

private:
    MciDevice& m_inner;
    Rewrite m_rewrite;
};

// A read of a drive as the program makes one, without event log.
struct DriveRead {
    explicit DriveRead(CdDrive& drive, bool identifyOnly = false, bool fillWizard = false)
        : mci(drive), reader(mci, prompter, nullptr, album, identifyOnly, fillWizard) {}

    MciCdAudio mci;
    RecordingPrompter prompter;
    AlbumRecord album;
    CdReader reader;
};

inline DiscToc tocOf(const QString& text) {
    DiscToc toc;
    parseDiscToc(text, toc);
    return toc;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace tunarium::test
