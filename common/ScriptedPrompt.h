#pragma once

#include "common/Prompt.h"

#include <QQueue>
#include <QStringList>

namespace ks {

// For tests: records every text shown and answers from queues; never blocks.
class ScriptedPrompt : public Prompt {
public:
    QStringList messages;   // every message text, in order
    QStringList fileTitles; // every file dialog title
    QQueue<Answer> answers; // next answers to questions (default: Yes / Ok)
    QQueue<QString> files;  // next file names (default: cancelled)

    Answer message(const QString& text, Buttons buttons, Icon, const QString&) override {
        messages << text;
        if (!answers.isEmpty())
            return answers.dequeue();
        return (buttons == Buttons::Ok || buttons == Buttons::OkCancel) ? Answer::Ok : Answer::Yes;
    }
    QString openFileName(const QString& title, const QString&, const QString&) override {
        fileTitles << title;
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString saveFileName(const QString& title, const QString&, const QString&, const QString&) override {
        fileTitles << title;
        return files.isEmpty() ? QString() : files.dequeue();
    }

    // Installs a fresh scripted prompt and returns it (owned by the prompt service).
    static ScriptedPrompt* installNew() {
        auto p = std::make_unique<ScriptedPrompt>();
        ScriptedPrompt* raw = p.get();
        Prompt::install(std::move(p));
        return raw;
    }
};

} // namespace ks
