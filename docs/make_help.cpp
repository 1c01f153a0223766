// Prints the help document from HTML to PDF. The HTML may hold:
//   <!--include:PATH-->  the text of PATH (relative to the source folder), escaped for <pre>;
//   <img src="ramp:one-sided"> / "ramp:two-sided" / "mean:weights"  plots drawn here.
// Usage: make_help INPUT.html SOURCE_DIR OUTPUT.pdf
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int kPlotWidth = 900;
constexpr int kPlotHeight = 420;

QString ReadText(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

// Functions on [0, 10] (the abscissa as drawn) as a curve on axes, with the marks named under the
// axis.
QImage Plot(const std::vector<std::function<double(double)>>& curves,
            const std::vector<std::pair<double, QString>>& marks, const QString& xName,
            const QString& yName) {
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font("Liberation Sans");
    font.setPixelSize(26);
    p.setFont(font);
    const double left = 90, right = kPlotWidth - 50, top = 60, bottom = kPlotHeight - 70;
    const auto X = [&](double v) { return left + (right - left) * v / 10.0; };
    const auto Y = [&](double d) { return bottom - (bottom - top) * d; };
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    p.drawLine(QPointF(left, bottom), QPointF(left, top - 10));
    p.drawText(QRectF(0, Y(1) - 16, left - 10, 32), Qt::AlignRight | Qt::AlignVCenter, "1");
    p.drawText(QRectF(0, Y(0) - 16, left - 10, 32), Qt::AlignRight | Qt::AlignVCenter, "0");
    p.drawText(QRectF(left + 8, top - 58, 200, 32), Qt::AlignLeft | Qt::AlignVCenter, yName);
    p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    p.drawLine(QPointF(left, Y(1)), QPointF(right, Y(1)));
    for (const auto& [v, name] : marks) {
        p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
        p.drawLine(QPointF(X(v), top), QPointF(X(v), bottom));
        p.setPen(Qt::black);
        p.drawText(QRectF(X(v) - 80, bottom + 8, 160, 32), Qt::AlignCenter, name);
    }
    p.drawText(QRectF(right + 4, bottom - 40, 46, 32), Qt::AlignLeft, xName);
    const QColor colors[] = {QColor(0, 70, 160), QColor(190, 60, 0), QColor(0, 130, 60)};
    for (std::size_t c = 0; c < curves.size(); ++c) {
        QPainterPath path;
        for (int i = 0; i <= 400; ++i) {
            const double v = 10.0 * i / 400;
            const QPointF point(X(v), Y(curves[c](v)));
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        p.setPen(QPen(colors[c % 3], 4));
        p.drawPath(path);
    }
    return image;
}

double OneSided(double v, double low, double high) {
    return v <= low ? 0 : v >= high ? 1 : (v - low) / (high - low);
}

double TwoSided(double v, double low, double target, double high) {
    if (v <= low || v >= high) {
        return 0;
    }
    return v > target ? (high - v) / (high - target) : (v - low) / (target - low);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: make_help INPUT.html SOURCE_DIR OUTPUT.pdf\n", stderr);
        return 2;
    }
    bool ok = false;
    QString html = ReadText(QString::fromLocal8Bit(argv[1]), &ok);
    if (!ok) {
        std::fprintf(stderr, "make_help: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString sourceDir = QString::fromLocal8Bit(argv[2]);
    static const QRegularExpression include("<!--include:([^>]+)-->");
    for (auto match = include.match(html); match.hasMatch(); match = include.match(html)) {
        const QString path = sourceDir + "/" + match.captured(1).trimmed();
        const QString text = ReadText(path, &ok);
        if (!ok) {
            std::fprintf(stderr, "make_help: cannot read %s\n", qPrintable(path));
            return 1;
        }
        html.replace(match.capturedStart(), match.capturedLength(), text.toHtmlEscaped());
    }

    QTextDocument document;
    QFont font("Liberation Serif");
    font.setPointSizeF(11);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(
        "pre, tt { font-family: 'Liberation Mono'; font-size: 8pt; } pre { margin-left: 12px; }");
    document.addResource(
        QTextDocument::ImageResource, QUrl("ramp:one-sided"),
        Plot({[](double v) { return OneSided(v, 2, 7); }}, {{2, "Low"}, {7, "High"}}, "v", "d"));
    document.addResource(QTextDocument::ImageResource, QUrl("ramp:two-sided"),
                         Plot({[](double v) { return TwoSided(v, 1.5, 4, 8.5); }},
                              {{1.5, "Low"}, {4, "Target"}, {8.5, "High"}}, "v", "d"));
    // d^w for w = 1, 3 and 1/3 over d in [0, 1], drawn on the same axes as the ramps.
    document.addResource(
        QTextDocument::ImageResource, QUrl("mean:weights"),
        Plot({[](double v) { return v / 10; }, [](double v) { return std::pow(v / 10, 3.0); },
              [](double v) { return std::pow(v / 10, 1.0 / 3); }},
             {{5, "0,5"}, {10, "1"}}, "d", "d^w"));
    document.setHtml(html);

    QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
    writer.setTitle("О многокритериальной оптимизации");
    writer.setCreator("isotri");
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
    document.print(&writer);
    return 0;
}
