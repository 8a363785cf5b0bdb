// A recording prompter that answers the save-file dialog with a set file name and records what it
// was asked.
#pragma once

#include "data/prompter.h"

namespace tunarium::test {

class SaveFilePrompter : public RecordingPrompter {
public:
    QString chooseSaveFile(const QString& caption, const QString& directory, const QString& filter) override {
        asked << caption << directory << filter;
        return answer;
    }

    QString answer;
    QStringList asked; // caption, directory and filter of each question
};

} // namespace tunarium::test
