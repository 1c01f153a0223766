// Reading the picture on screen: the mixture and value under the mouse in the status bar, the
// lines of constant share down to the scales over the display (never in the picture itself), and
// a left click that writes the reading to the console.
#pragma once

#include <QObject>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "common/NumberText.h"
#include "companion/zorb_lib.h"
#include "render/AppearanceSettings.h"
#include "render/PictureMapping.h"
#include "render/Readout.h"

class QStatusBar;

namespace isotri {

// A measured point shown on the picture, at its model mixture.
struct ShownPoint {
    Mixture mixture{};
    long long line = 0;  // of the data table
    double value = 0;
};

// The picture as it is drawn now.
struct ReadoutView {
    const TIsolineSet* set = nullptr;  // null: nothing to read
    int width = 0;
    int height = 0;
    AppearanceSettings settings;
    std::array<float, 9> bounds{};
    bool scalesOnly = false;
    std::vector<ShownPoint> points;  // measured points while they are shown
};

// The guide lines, drawn over the display panel it covers.
class TGuideOverlay : public QWidget {
  public:
    explicit TGuideOverlay(QWidget* panel);
    void SetLines(const std::array<GuideLine, 3>& lines);
    void ClearLines();
    bool HasLines() const { return shown_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::array<GuideLine, 3> lines_{};
    bool shown_ = false;
};

class TPictureReadout : public QObject {
  public:
    using ViewSource = std::function<ReadoutView()>;
    // The value the drawn set shows at a model mixture: the model's, or the batch's.
    using ValueSource = std::function<PointValue(const Mixture&)>;

    TPictureReadout(QWidget* panel, QStatusBar* bar, const NumberText& numbers, ViewSource view,
                    QObject* parent = nullptr);

    void SetValueSource(ValueSource value) { value_ = std::move(value); }
    // The reading at a pixel of the panel; empty outside the triangle or without a set.
    QString TextAt(QPointF pixel) const;
    TGuideOverlay* Overlay() const { return overlay_; }
    // Takes the reading away until the mouse moves again (the set has changed).
    void Hide();

    // While a plot runs the status bar is its progress's: the readout keeps out of it.
    class Pause {
      public:
        explicit Pause(TPictureReadout& readout);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

      private:
        TPictureReadout& readout_;
    };

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Reading {
        QString text;
        std::array<GuideLine, 3> guides{};
    };
    std::optional<Reading> ReadAt(QPointF pixel) const;
    void Follow(QPointF pixel);

    QWidget* panel_;
    QStatusBar* bar_;
    const NumberText& numbers_;
    ViewSource view_;
    ValueSource value_;
    TGuideOverlay* overlay_;
    int paused_ = 0;
    bool showing_ = false;  // the status text is the readout's own
};

}  // namespace isotri
