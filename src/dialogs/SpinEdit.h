// An integer spin edit whose text may hold anything while it is typed: the value is checked only
// when the field is left (CheckSpinEdit), so the field never corrects the user mid-typing.
#pragma once

#include <QAbstractSpinBox>
#include <optional>

class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

  public:
    explicit TSpinEdit(int minimum, int maximum, int value, QWidget* parent = nullptr);

    // The spin edit that is `widget` or holds it (the focus sits in its line edit); null if none.
    static TSpinEdit* Holding(QWidget* widget);

    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    // The text as a whole number within the range; anything else reads as the minimum.
    int Value() const;
    // The text as a whole number, range not checked; nothing when it is not one.
    std::optional<long long> TextNumber() const;
    // The text is a whole number within the range.
    bool InRange() const;

    void SetValue(int value);
    void SetText(const QString& text);

    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // Focus moved to another control (not merely another window or a popup).
    void Exited();

  protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    int minimum_;
    int maximum_;
};
