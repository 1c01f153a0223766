// The console memo at the bottom of the main window: the companion library's output appears in
// it as lines, and a line typed after the prompt ">" goes to the command interpreter on Enter.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QKeyEvent;
class QPlainTextEdit;
class QWidget;

namespace isotri {

class TConsole : public QObject {
    Q_OBJECT

  public:
    // Returns true when the line was recognised; an unrecognised line is echoed as "User: ".
    using Interpreter = std::function<bool(const QString& line)>;

    static constexpr int kMaxLineLength = 4096;

    // `window` is the main window: the console key toggles the console anywhere in it, and the
    // shortcuts of its actions win over the memo's own editing keys.
    TConsole(QPlainTextEdit* edit, QWidget* window, Interpreter interpreter);
    ~TConsole() override;
    TConsole(const TConsole&) = delete;
    TConsole& operator=(const TConsole&) = delete;

    // Start-up: registers ConsoleOutput, sets the upper level to 48 and types the prompt.
    void Start();
    // Shut-down: unregisters ConsoleOutput. Also done by the destructor if still registered.
    void Stop();

    // The text after the last line break, or the line before a final break; at most
    // kMaxLineLength characters.
    QString LastLine() const;
    void AppendLine(const QString& line);
    // Inserts ">" at the caret, as the key would.
    void TypePrompt();
    void Clear();

    // The output callback of the companion library; reaches the started console.
    static void ConsoleOutput(const char* text);

    // The key left of "1" on a US keyboard, with any modifiers: grave accent or tilde.
    static bool IsConsoleKey(const QKeyEvent& event);

  signals:
    // The console key was pressed somewhere in the main window.
    void ToggleRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void EConsoleKeyDown();
    // A line of the companion library's output. Outside a command the prompt follows it, as after
    // a command; a prompt typed that way and left untouched gives way to the next line.
    void WriteOutput(const QString& line);
    bool FormKeyDown(QObject* watched, QKeyEvent* event);
    bool IsMenuShortcut(const QKeyEvent& event) const;

    QPointer<QPlainTextEdit> edit_;
    QPointer<QWidget> window_;
    Interpreter interpreter_;
    bool started_ = false;
    bool executing_ = false;
    bool ownPrompt_ = false;
};

}  // namespace isotri
