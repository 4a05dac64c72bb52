#include "app/ui/command_icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <map>
#include <string>

namespace nuv {
namespace {

// Palette: ink for shapes and traces, green for adding, red for removing,
// olive for marks, grey for secondary lines.
#define INK "#1f3b73"
#define ADD "#2e7d32"
#define DEL "#c62828"
#define MARK "#9a7b00"
#define GREY "#8a8a8a"

// Building blocks on the 24x24 grid.
const std::string kWave = R"(<path d="M2 12h3l1.5-5 2 10 2-8 1.5 5 1.5-2H22"/>)";
const std::string kWindow =
    R"(<rect x="3" y="4" width="18" height="16" rx="1.5"/><path d="M3 8h18"/>)";
const std::string kList = R"(<path d="M4 6h16M4 11h16M4 16h16M4 21h9"/>)";
const std::string kDocument = R"(<path d="M5 2h9l5 5v15H5z"/><path d="M14 2v5h5"/>)";
const std::string kDatabase =
    R"(<ellipse cx="9" cy="5" rx="6" ry="2.5"/><path d="M3 5v12c0 1.4 2.7 2.5 6 2.5s6-1.1 6-2.5V5"/>)"
    R"(<path d="M3 11c0 1.4 2.7 2.5 6 2.5s6-1.1 6-2.5"/>)";
const std::string kMagnifier = R"(<circle cx="10" cy="10" r="6.5"/><path d="M15 15l6 6"/>)";

std::string Badge(const char* colour, const char* mark) {
  return std::string(R"(<circle cx="18" cy="18" r="5" fill=")") + colour +
         R"(" stroke="none"/><path stroke="#fff" stroke-width="1.6" d=")" + mark + R"("/>)";
}
const std::string kPlus = Badge(ADD, "M18 15.5v5M15.5 18h5");
const std::string kMinus = Badge(DEL, "M15.5 18h5");
const std::string kCross = Badge(DEL, "M16.2 16.2l3.6 3.6M19.8 16.2l-3.6 3.6");
const std::string kUpBadge = Badge(ADD, "M18 20.5v-5M15.8 17.5l2.2-2.2 2.2 2.2");
const std::string kDownBadge = Badge(INK, "M18 15.5v5M15.8 18.5l2.2 2.2 2.2-2.2");

std::string Stroke(const char* colour, const std::string& body) {
  return std::string(R"(<g stroke=")") + colour + R"(">)" + body + "</g>";
}

// Arrows across the whole grid and short arrows for the trace moves.
const std::string kArrowLeft = R"(<path d="M20 12H4M10 6l-6 6 6 6"/>)";
const std::string kArrowRight = R"(<path d="M4 12h16M14 6l6 6-6 6"/>)";
const std::string kArrowUp = R"(<path d="M12 20V4M6 10l6-6 6 6"/>)";
const std::string kArrowDown = R"(<path d="M12 4v16M6 14l6 6 6-6"/>)";
const std::string kStretchH = R"(<path d="M3 12h18M7 8l-4 4 4 4M17 8l4 4-4 4M12 5v14"/>)";
const std::string kCompressH = R"(<path d="M2 12h7M15 12h7M5 8l4 4-4 4M19 8l-4 4 4 4M12 4v16"/>)";
const std::string kStretchV = R"(<path d="M12 3v18M8 7l4-4 4 4M8 17l4 4 4-4M5 12h14"/>)";
const std::string kCompressV = R"(<path d="M12 2v7M12 15v7M8 5l4 4 4-4M8 19l4-4 4 4M4 12h16"/>)";
const std::string kTraceLine = Stroke(GREY, R"(<path d="M2 21h20"/>)");
const std::string kTraceLineV = Stroke(GREY, R"(<path d="M3 2v20"/>)");
const std::string kMapFrame =
    Stroke(GREY, R"(<rect x="1.5" y="1.5" width="21" height="21" rx="2"/>)");
const std::string kStar =
    R"(<path d="M12 3l2.6 5.6 6 .7-4.5 4.1 1.2 6L12 16.4 6.7 19.4l1.2-6L3.4 9.3l6-.7z"/>)";
const std::string kFormula =
    R"(<path d="M16 3.5c-3 0-4 1.3-4.5 4l-2 10c-.5 2.7-1.5 3.5-4 3.5M7.5 9.5h7"/>)";

const std::map<int, std::string>& Bodies() {
  static const std::map<int, std::string> bodies = {
      // Waveform window.
      {32701, R"(<path d="M2 6h3l1.5-3 2 6 1.5-3h4M2 13h3l1.5-3 2 6 1.5-3h4"/>)" + kPlus},
      {33202, kWindow + kPlus},
      {33212, kWindow + kCross},
      {33216, R"(<path d="M19.5 12a7.5 7.5 0 1 1-2.2-5.3"/><path d="M19.5 3v4.5H15"/>)"},
      {606, kWave},
      {33080, kWave + Stroke(GREY, R"(<path stroke-width="3" d="M16 3v18"/>)")},
      {32772, kWave + Stroke(MARK, R"(<path d="M9 2v20"/><path d="M9 3h6l-2 2.5 2 2.5H9"/>)")},
      {33057, R"(<path d="M2 7h3l1.5-3 2 6 1.5-3h12M2 17h6l1.5-3 2 6 1.5-3h9"/>)" +
                  Stroke(MARK, R"(<path stroke-dasharray="2 2" d="M12 1v22"/>)")},
      {33017, kArrowLeft + kTraceLine},
      {33018, kArrowRight + kTraceLine},
      {33021, kStretchH},
      {33022, kCompressH},
      {33015, kStretchV},
      {33016, kCompressV},
      {33019, kArrowUp + kTraceLineV},
      {33020, kArrowDown + kTraceLineV},
      {33056, R"(<circle cx="12" cy="12" r="7"/><circle cx="12" cy="12" r="2"/>)"
              R"(<path d="M12 1v4M12 19v4M1 12h4M19 12h4"/>)"},
      {33023, R"(<path d="M9 5L4 10l5 5"/><path d="M4 10h10a6 6 0 0 1 0 12h-3"/>)"},
      {33169, R"(<path d="M2 6h4l1.5-3 2 6 1.5-3h2"/>)" +
                  Stroke(DEL, R"(<path d="M2 15h4l1.5-3 2 6 1.5-3h2"/>)") +
                  R"(<path d="M16 8h6M16 13h6"/>)"},
      {33207, R"(<rect x="2" y="3" width="14" height="8" rx="1"/><rect x="2" y="13" width="14" )"
              R"(height="8" rx="1"/>)" +
                  Stroke(ADD, R"(<path d="M16 12l2.5 3L23 9"/>)")},
      {33208, R"(<rect x="2" y="3" width="14" height="8" rx="1"/><rect x="2" y="13" width="14" )"
              R"(height="8" rx="1"/>)" +
                  Stroke(DEL, R"(<path d="M17 9l5 5M22 9l-5 5"/>)")},
      {33205, Stroke(DEL, kWave) + Stroke(GREY, R"(<path d="M2 21h20"/>)")},
      {33206, kWave + Stroke(GREY, R"(<path d="M2 21h20"/>)")},
      {32712, kWave + Stroke(DEL, R"(<path d="M15 2v20"/><path d="M15 3h6l-2 2.5 2 2.5h-6"/>)")},
      {33135, Stroke(MARK, R"(<path stroke-dasharray="2 2" d="M5 2v20M13 2v20"/>)") + kCross},
      {33209, R"(<path d="M3 5h12M3 10h9M3 15h6M3 20h3"/><path d="M19 4v16M16 17l3 3 3-3"/>)"},
      {32704, R"(<path d="M3 4h18l-7 8v7l-4 2v-9z"/>)"},
      {33145, kFormula + R"(<path d="M15 13l5 6M20 13l-5 6"/>)"},
      {32733, kWave + Stroke(MARK, R"(<path d="M6.5 4v14M9 21h5M9 19v4M14 19v4"/>)")},
      {32735, R"(<rect x="6" y="6" width="12" height="12" rx="1"/>)"
              R"(<path d="M2 7V2h5M17 2h5v5M22 17v5h-5M7 22H2v-5"/>)"},
      // Map.
      {116, kMagnifier + R"(<path d="M7 10h6M10 7v6"/>)"},
      {117, kMagnifier + R"(<path d="M7 10h6"/>)"},
      {118, kMapFrame + R"(<path d="M5 12h14M14 7l5 5-5 5"/>)"},
      {119, kMapFrame + R"(<path d="M19 12H5M10 7l-5 5 5 5"/>)"},
      {120, kMapFrame + R"(<path d="M12 19V5M7 10l5-5 5 5"/>)"},
      {121, kMapFrame + R"(<path d="M12 5v14M7 14l5 5 5-5"/>)"},
      {104, kMagnifier + R"(<path d="M7.5 8.5h5M7.5 11.5h5"/>)"},
      {33044, R"(<path d="M4 6l5-2 6 2 5-2v14l-5 2-6-2-5 2z"/><path d="M9 4v14M15 6v14"/>)"},
      {33043, R"(<path d="M3 21c2-3 1-6 4-8s2-6 6-7 5-3 8-3"/>)" +
                  Stroke(GREY, R"(<path d="M9 21c1-3 4-4 5-7s4-4 7-5"/>)")},
      {33041,
       R"(<path d="M2 20l7-12 4 6 3-4 6 10z"/>)" + Stroke(GREY, R"(<path d="M7 14h4M14 16h5"/>)")},
      {33053, R"(<path d="M4 20L12 4"/><path d="M4 20h16"/><path d="M10 20a6 6 0 0 0-2.8-5"/>)"},
      {32723, Stroke(DEL, kStar)},
      // Phase list.
      {32732, kDatabase + kDownBadge},
      {32731, kDatabase + kUpBadge},
      {32719, kDocument + kDownBadge},
      {32729, kDocument + kPlus},
      {32715, kDocument + kUpBadge},
      {33106, kList + kPlus},
      {32783, kList + kCross},
      {33195,
       R"(<path d="M3 20L10 5l7 15z"/><path d="M21 8a5 5 0 0 0-6-4"/><path d="M21 3v5h-5"/>)"},
      {33185,
       kList + Stroke(DEL, R"(<circle cx="18" cy="18" r="4"/><circle cx="18" cy="18" r="1"/>)")},
      // Signal-processing workspace.
      {33086, R"(<path d="M2 8h20v8H2z"/><path d="M6 8v3M10 8v5M14 8v3M18 8v5"/>)"},
      {33085, kMagnifier + R"(<path d="M7 10h6M10 7v6"/>)"},
      {33084, kMagnifier + R"(<path d="M7 10h6"/>)"},
      {33092, kStretchV},
      {33091, kCompressV},
      {33097, kStretchH},
      {33098, kCompressH},
      {33087, kArrowDown + kTraceLineV},
      {33088, kArrowUp + kTraceLineV},
      {33089, kArrowLeft + kTraceLine},
      {33090, kArrowRight + kTraceLine},
      {33099, R"(<path d="M3 3v18h18"/><path d="M5 20c1-8 4-12 16-14"/>)"},
      {33082, kWindow + kPlus},
      {33083, kWindow + kMinus},
      {33103, kWindow + R"(<path d="M10 11l4 3.5-4 3.5"/>)"},
      {33147, kFormula + kPlus},
      // Child windows and their arrangement.
      {32705, kWindow + R"(<path d="M5 14h3l1.5-3 2 6 1.5-3h6"/>)"},
      {32708,
       R"(<rect x="3" y="3" width="18" height="18" rx="1.5"/><path d="M7 8h10M7 12h10M7 16h6"/>)"},
      {33105, kWindow + R"(<path d="M7 18v-3M10 18v-7M13 18v-5M16 18v-8"/>)"},
      {32707,
       R"(<circle cx="12" cy="12" r="9"/><path d="M3 12h18M12 3c-3 3-3 15 0 18M12 3c3 3 3 15 0 18"/>)"},
      {57650,
       R"(<rect x="2" y="2" width="12" height="10" rx="1"/><rect x="6" y="7" width="12" )"
       R"(height="10" rx="1" fill="#fff"/><rect x="10" y="12" width="12" height="10" rx="1" fill="#fff"/>)"},
      {57651,
       R"(<rect x="3" y="3" width="18" height="8" rx="1"/><rect x="3" y="13" width="18" height="8" rx="1"/>)"},
      {57652,
       R"(<rect x="3" y="3" width="8" height="18" rx="1"/><rect x="13" y="3" width="8" height="18" rx="1"/>)"},
  };
  return bodies;
}

QByteArray Document(const std::string& body) {
  const std::string svg =
      R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 24 24" width="24" height="24" )"
      R"(fill="none" stroke=")" INK R"(" stroke-width="1.8" stroke-linecap="round" )"
      R"(stroke-linejoin="round">)" +
      body + "</svg>";
  return QByteArray::fromStdString(svg);
}

// Renders the SVG afresh for every size asked for; the disabled look is the
// same picture in grey at reduced opacity.
class SvgIconEngine : public QIconEngine {
 public:
  explicit SvgIconEngine(QByteArray svg) : svg_(std::move(svg)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    const QPixmap image = Render(rect.size() * painter->device()->devicePixelRatio(), mode);
    painter->drawPixmap(rect, image);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    return Render(size, mode);
  }

  QIconEngine* clone() const override { return new SvgIconEngine(svg_); }
  QString key() const override { return "nuv-svg"; }

 private:
  QPixmap Render(const QSize& size, QIcon::Mode mode) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg_);
    {
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    if (mode == QIcon::Disabled) {
      for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
          const int alpha = qAlpha(line[x]) * 2 / 5;
          const int grey = qGray(line[x]) * alpha / std::max(1, qAlpha(line[x]));
          line[x] = qRgba(grey, grey, grey, alpha);
        }
      }
    }
    return QPixmap::fromImage(image);
  }

  QByteArray svg_;
};

}  // namespace

QByteArray CommandIconSvg(int id) {
  const auto it = Bodies().find(id);
  return it == Bodies().end() ? QByteArray() : Document(it->second);
}

QIcon CommandIcon(int id) {
  QByteArray svg = CommandIconSvg(id);
  if (svg.isEmpty()) svg = Document(R"(<rect x="5" y="5" width="14" height="14" rx="2"/>)");
  return QIcon(new SvgIconEngine(std::move(svg)));
}

}  // namespace nuv
