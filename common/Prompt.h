#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace ks {

// Every message box, question and file dialog goes through the current prompt service. The real
// one shows Qt dialogs; tests install a scripted one (ScriptedPrompt) that records and answers.
class Prompt {
public:
    enum class Answer { Yes, No, Cancel, Ok };
    enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
    enum class Icon { Information, Warning, Error, Question };

    virtual ~Prompt() = default;

    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::Information,
                           const QString& title = QString()) = 0;
    // File dialogs return the chosen path, or an empty string when the user cancelled.
    // `filter` uses the "Description (*.ext)|*.ext|..." pipe form; Qt's own ";;" form works too.
    virtual QString openFileName(const QString& title, const QString& dir, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& dir, const QString& filter,
                                 const QString& defaultSuffix = QString()) = 0;

    // Convenience forms.
    void info(const QString& text) { message(text, Buttons::Ok, Icon::Information); }
    void error(const QString& text) { message(text, Buttons::Ok, Icon::Error); }
    bool askYesNo(const QString& text) { return message(text, Buttons::YesNo, Icon::Question) == Answer::Yes; }

    static Prompt& current();
    // Installs a service (the prompt takes ownership); nullptr puts the real dialogs back.
    static void install(std::unique_ptr<Prompt> prompt);
    // Parent widget for the real dialogs.
    static void setParentWidget(QWidget* parent);
    static QWidget* parentWidget();
};

// Converts "Text files (*.txt)|*.txt|All files (*.*)|*.*" to Qt's "Text files (*.txt);;All files (*.*)".
QString toQtFilter(const QString& pipeFilter);

} // namespace ks
