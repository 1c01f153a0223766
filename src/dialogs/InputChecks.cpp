#include "dialogs/InputChecks.h"

#include <QLineEdit>
#include <cmath>
#include <limits>

#include "common/NumberText.h"
#include "dialogs/SpinEdit.h"

bool CheckSpinEdit(QObject* control, QWidget* form) {
    auto* edit = qobject_cast<TSpinEdit*>(control);
    if (edit == nullptr) {
        return true;
    }
    if (edit->InRange()) {
        return true;
    }
    edit->SetValue(edit->Minimum());
    if (form != nullptr) {
        edit->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

bool CheckFloatEdit(QObject* control, QWidget* form, float* target,
                    const isotri::NumberText& numbers) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (edit == nullptr) {
        return true;
    }
    const auto number = numbers.Parse(edit->text().toStdString());
    // A number beyond single precision would reach the generator as an infinity.
    const bool fits =
        number && std::isfinite(*number) && std::fabs(*number) <= std::numeric_limits<float>::max();
    if (!fits) {
        edit->setText(QStringLiteral("0") + QLatin1Char(numbers.DecimalSeparator()) +
                      QStringLiteral("0"));
        if (form != nullptr) {
            edit->setFocus(Qt::OtherFocusReason);
        }
        return false;
    }
    if (target != nullptr) {
        *target = static_cast<float>(*number);
    }
    return true;
}
