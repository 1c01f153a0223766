#include "dialogs/SpinEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace {

// Eats one mouse click of the button it watches, then goes.
class TClickRefusal final : public QObject {
  public:
    explicit TClickRefusal(QPushButton* button) : QObject(button) {
        button->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                return true;
            case QEvent::MouseButtonRelease:
                // At once: the next click may come before the event loop deletes this.
                watched->removeEventFilter(this);
                deleteLater();
                return true;
            default:
                return false;
        }
    }
};

}  // namespace

TSpinEdit::TSpinEdit(int minimum, int maximum, int value, QWidget* parent)
    : QAbstractSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    SetValue(value);
}

TSpinEdit* TSpinEdit::Holding(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        if (auto* edit = qobject_cast<TSpinEdit*>(w)) {
            return edit;
        }
    }
    return nullptr;
}

std::optional<long long> TSpinEdit::TextNumber() const {
    bool ok = false;
    const long long number = text().trimmed().toLongLong(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return number;
}

bool TSpinEdit::InRange() const {
    const auto number = TextNumber();
    return number && *number >= minimum_ && *number <= maximum_;
}

int TSpinEdit::Value() const {
    return InRange() ? static_cast<int>(*TextNumber()) : minimum_;
}

void TSpinEdit::SetValue(int value) {
    SetText(QString::number(std::clamp(value, minimum_, maximum_)));
}

void TSpinEdit::SetText(const QString& text) {
    lineEdit()->setText(text);
}

QValidator::State TSpinEdit::validate(QString& /*input*/, int& /*pos*/) const {
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString& /*input*/) const {}

void TSpinEdit::stepBy(int steps) {
    const long long next = static_cast<long long>(Value()) + steps;
    SetValue(static_cast<int>(std::clamp<long long>(next, minimum_, maximum_)));
    selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    if (isReadOnly() || !isEnabled()) {
        return StepNone;
    }
    StepEnabled flags = StepNone;
    const int value = Value();
    if (value < maximum_) {
        flags |= StepUpEnabled;
    }
    if (value > minimum_) {
        flags |= StepDownEnabled;
    }
    return flags;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
        return;
    }
    // The widget taking the focus is known before this event arrives.
    QWidget* next = QApplication::focusWidget();
    emit Exited();
    // A check that gave the focus back also refuses the click on the default button that took it
    // away: "Ok" must not close the dialog over a value the user has not yet seen corrected.
    auto* button = qobject_cast<QPushButton*>(next);
    if (reason == Qt::MouseFocusReason && button != nullptr && button->isDefault() && hasFocus()) {
        new TClickRefusal(button);
    }
}

QSize TSpinEdit::sizeHint() const {
    QSize size = QAbstractSpinBox::sizeHint();
    const int digits = static_cast<int>(QString::number(maximum_).size());
    size.setWidth(std::max(size.width(),
                           fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 1) + 40));
    return size;
}

QSize TSpinEdit::minimumSizeHint() const {
    QSize size = QAbstractSpinBox::minimumSizeHint();
    size.setWidth(std::max(size.width(), sizeHint().width()));
    return size;
}
