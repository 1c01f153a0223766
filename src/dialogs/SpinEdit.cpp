#include "dialogs/SpinEdit.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <algorithm>

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
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        emit Exited();
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
