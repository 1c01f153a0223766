#include "shell/ConsoleMemo.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <string_view>
#include <utility>

#include "companion/zorb_lib.h"

namespace isotri {

namespace {

constexpr std::int32_t kConsoleUpperLevel = 48;
// X11 and Wayland hardware code of the key left of "1": it toggles the console in any layout.
constexpr quint32 kConsoleKeyScanCode = 49;

TConsole* gStartedConsole = nullptr;

// Neither character may enter the console from the keyboard.
bool IsBlockedCharacter(QChar c) {
    return c == u'`' || c == u'~';
}

// Drops the first character, a surrogate pair counting as one.
QString WithoutFirstCharacter(const QString& line) {
    if (line.isEmpty()) {
        return line;
    }
    const qsizetype width = line.size() > 1 && line[0].isHighSurrogate() ? 2 : 1;
    return line.mid(width);
}

// Watches every key press of the application and takes the console key in the main window,
// before the focused widget sees it.
class TFormKeyFilter final : public QObject {
  public:
    TFormKeyFilter(TConsole* console, QWidget* window)
        : QObject(console), console_(console), window_(window) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || window_ == nullptr) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != window_) {
            return false;
        }
        if (!TConsole::IsConsoleKey(*static_cast<QKeyEvent*>(event))) {
            return false;
        }
        emit console_->ToggleRequested();
        return true;
    }

  private:
    TConsole* console_;
    QPointer<QWidget> window_;
};

}  // namespace

TConsole::TConsole(QPlainTextEdit* edit, QWidget* window, Interpreter interpreter)
    : edit_(edit), window_(window), interpreter_(std::move(interpreter)) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(0, 128, 128));
    palette.setColor(QPalette::Text, Qt::white);
    edit->setPalette(palette);
    QFont font = edit->font();
    font.setBold(true);
    font.setPixelSize(13);
    edit->setFont(font);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setMinimumHeight(20);
    edit->installEventFilter(this);
    connect(edit->document(), &QTextDocument::contentsChange, this, [this] { ownPrompt_ = false; });
    qApp->installEventFilter(new TFormKeyFilter(this, window));
}

TConsole::~TConsole() {
    Stop();
}

void TConsole::Start() {
    gStartedConsole = this;
    started_ = true;
    conAddCallback(&TConsole::ConsoleOutput);
    conUpperLevel(kConsoleUpperLevel);
    TypePrompt();
}

void TConsole::Stop() {
    if (!started_) {
        return;
    }
    started_ = false;
    conRemoveCallback(&TConsole::ConsoleOutput);
    if (gStartedConsole == this) {
        gStartedConsole = nullptr;
    }
}

QString TConsole::LastLine() const {
    if (edit_ == nullptr) {
        return {};
    }
    QTextBlock block = edit_->document()->lastBlock();
    if (block.text().isEmpty() && block.previous().isValid()) {
        block = block.previous();
    }
    QString line = block.text();
    if (line.size() > kMaxLineLength) {
        qsizetype length = kMaxLineLength;
        if (line[length - 1].isHighSurrogate()) {
            --length;
        }
        line.truncate(length);
    }
    return line;
}

void TConsole::AppendLine(const QString& line) {
    if (edit_ == nullptr) {
        return;
    }
    QTextDocument* document = edit_->document();
    const bool endsWithBreak = document->lastBlock().text().isEmpty();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(endsWithBreak ? line + u'\n' : u'\n' + line);
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
    // A long line would leave the view scrolled sideways; lines are read from their start.
    edit_->horizontalScrollBar()->setValue(0);
}

void TConsole::TypePrompt() {
    if (edit_ != nullptr) {
        edit_->insertPlainText(QStringLiteral(">"));
    }
}

void TConsole::Clear() {
    if (edit_ != nullptr) {
        edit_->clear();
    }
}

void TConsole::ConsoleOutput(const char* text) {
    if (gStartedConsole == nullptr) {
        return;
    }
    const std::string_view all = text != nullptr ? text : "";
    const std::string_view shown = all.substr(0, all.find_first_of("\r\n"));
    gStartedConsole->WriteOutput(u'>' + QString::fromUtf8(shown.data(), shown.size()));
}

void TConsole::WriteOutput(const QString& line) {
    if (edit_ == nullptr) {
        return;
    }
    if (executing_) {
        AppendLine(line);
        return;
    }
    QTextDocument* document = edit_->document();
    if (ownPrompt_ && document->lastBlock().text() == u">") {
        QTextCursor cursor(document->lastBlock());
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    AppendLine(line);
    if (!document->lastBlock().text().isEmpty()) {
        AppendLine({});
    }
    TypePrompt();
    ownPrompt_ = true;
}

bool TConsole::IsConsoleKey(const QKeyEvent& event) {
    if (event.key() == Qt::Key_QuoteLeft || event.key() == Qt::Key_AsciiTilde) {
        return true;
    }
    const QString platform = QGuiApplication::platformName();
    return event.nativeScanCode() == kConsoleKeyScanCode &&
           (platform == u"xcb" || platform == u"wayland");
}

bool TConsole::IsMenuShortcut(const QKeyEvent& event) const {
    if (window_ == nullptr || event.key() == 0 || event.key() == Qt::Key_unknown) {
        return false;
    }
    const QKeySequence pressed(event.keyCombination());
    const auto actions = window_->findChildren<QAction*>();
    for (const QAction* action : actions) {
        for (const QKeySequence& shortcut : action->shortcuts()) {
            if (shortcut.matches(pressed) == QKeySequence::ExactMatch) {
                return true;
            }
        }
    }
    return false;
}

bool TConsole::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Left unaccepted, so the menu's shortcut acts instead of the memo's editing key.
            return IsMenuShortcut(*static_cast<QKeyEvent*>(event));
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            // A menu shortcut that reaches the memo belongs to a disabled item: it does nothing.
            if (IsMenuShortcut(*key) || IsConsoleKey(*key) || key->key() == Qt::Key_Up ||
                key->key() == Qt::Key_Down) {
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                EConsoleKeyDown();
                return true;
            }
            return std::any_of(key->text().cbegin(), key->text().cend(), IsBlockedCharacter);
        }
        case QEvent::InputMethod: {
            auto* input = static_cast<QInputMethodEvent*>(event);
            QString commit = input->commitString();
            commit.removeIf(IsBlockedCharacter);
            input->setCommitString(commit, input->replacementStart(), input->replacementLength());
            return false;
        }
        default:
            return false;
    }
}

void TConsole::EConsoleKeyDown() {
    const QString line = WithoutFirstCharacter(LastLine());
    AppendLine({});
    if (!line.isEmpty()) {
        const QPointer<TConsole> alive(this);
        // The command's output gets the one prompt typed below. An escaping error must not leave
        // the console thinking a command still runs.
        const bool outer = std::exchange(executing_, true);
        const auto restore = qScopeGuard([alive, outer] {
            if (alive != nullptr) {
                alive->executing_ = outer;
            }
        });
        const bool handled = interpreter_ ? interpreter_(line) : false;
        // "quit" may have destroyed the window and this console with it.
        if (alive == nullptr) {
            return;
        }
        if (!handled) {
            AppendLine(QStringLiteral("User: ") + line);
        }
    }
    TypePrompt();
}

}  // namespace isotri
