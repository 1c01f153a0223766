#include "dialogs/AboutUnit.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <cmath>

#include "dialogs/ScreenCentre.h"

namespace isotri {

namespace {

// A concentration triangle with its grid and a few closed isolines around an optimum.
class TAboutPicture final : public QFrame {
  public:
    explicit TAboutPicture(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(contentsRect()).adjusted(1, 1, -1, -1);
        painter.fillRect(area, QColor(255, 255, 240));

        const double side = area.width() - 12;
        const double height = side * std::sqrt(3.0) / 2;
        const QPointF top(area.center().x(), area.center().y() - height / 2);
        const QPointF right(top.x() + side / 2, top.y() + height);
        const QPointF left(top.x() - side / 2, top.y() + height);
        const auto at = [&](double a, double b, double c) {
            return a * top + b * right + c * left;
        };

        QPainterPath triangle;
        triangle.addPolygon(QPolygonF({top, right, left, top}));
        painter.save();
        painter.setClipPath(triangle);
        painter.setPen(QPen(QColor(160, 160, 160), 0.8));
        constexpr int kDivisions = 5;
        for (int i = 1; i < kDivisions; ++i) {
            const double f = static_cast<double>(i) / kDivisions;
            painter.drawLine(at(f, 1 - f, 0), at(f, 0, 1 - f));
            painter.drawLine(at(1 - f, f, 0), at(0, f, 1 - f));
            painter.drawLine(at(1 - f, 0, f), at(0, 1 - f, f));
        }
        const QPointF optimum = at(0.3, 0.45, 0.25);
        const std::array<QColor, 4> colours{QColor(0, 90, 160), QColor(0, 140, 120),
                                            QColor(200, 130, 0), QColor(190, 30, 40)};
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const double r = side * (0.42 - 0.09 * static_cast<double>(i));
            painter.setPen(QPen(colours[i], 1.4));
            painter.save();
            painter.translate(optimum);
            painter.rotate(-25);
            painter.drawEllipse(QPointF(0, 0), r, r * 0.62);
            painter.restore();
        }
        painter.restore();
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawPath(triangle);

        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(11);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(top.x() - 10, top.y() - 16, 20, 14), Qt::AlignCenter,
                         QStringLiteral("A"));
        painter.drawText(QRectF(right.x() - 12, right.y() + 2, 14, 14), Qt::AlignCenter,
                         QStringLiteral("B"));
        painter.drawText(QRectF(left.x() - 2, left.y() + 2, 14, 14), Qt::AlignCenter,
                         QStringLiteral("C"));
    }
};

// A label inside a lowered frame, as both texts of the box stand.
QLabel* FramedLabel(QWidget* parent, QFrame*& bevel, const QString& bevelName, const QRect& place) {
    bevel = new QFrame(parent);
    bevel->setObjectName(bevelName);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(place);
    auto* label = new QLabel(bevel);
    auto* layout = new QVBoxLayout(bevel);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(label);
    return label;
}

}  // namespace

TAboutDialog::TAboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(320, 200);

    ImagePanel = new QFrame(this);
    ImagePanel->setObjectName(QStringLiteral("ImagePanel"));
    ImagePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ImagePanel->setGeometry(8, 10, 100, 180);
    Image = new TAboutPicture(ImagePanel);
    Image->setObjectName(QStringLiteral("Image"));
    auto* imageLayout = new QVBoxLayout(ImagePanel);
    imageLayout->setContentsMargins(1, 1, 1, 1);
    imageLayout->addWidget(Image);

    Label1 = FramedLabel(this, Bevel1, QStringLiteral("Bevel1"), QRect(118, 10, 194, 110));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("Изолинии на концентрационном треугольнике."));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(13);
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    Label2 = FramedLabel(this, Bevel2, QStringLiteral("Bevel2"), QRect(118, 128, 194, 26));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setText(QStringLiteral("Построение: ") +
                    BuildDate().toString(QStringLiteral("dd.MM.yyyy")));

    OkButton = new QPushButton(QStringLiteral("Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(237, 163, 75, 27);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    OkButton->setFocus();
}

QDate TAboutDialog::BuildDate() {
    // "Mmm dd yyyy", with a blank for the tens of a day below 10.
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QString date = QStringLiteral(__DATE__);
    int month = 0;
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (date.startsWith(QLatin1String(kMonths[i]))) {
            month = static_cast<int>(i) + 1;
        }
    }
    return QDate(date.mid(7, 4).toInt(), month, date.mid(4, 2).trimmed().toInt());
}

void TAboutDialog::showEvent(QShowEvent* event) {
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

}  // namespace isotri
