// A colour of a control: the OLE colour as set, its RGB translation and, on request, the solid
// brush and one-pixel pen the drawing code uses for it.
#pragma once

#include <cstdint>

namespace quillon::widgets {

// OLE colour values: 0x00BBGGRR for plain colours, 0x800000nn for system colour nn.
using OleColor = uint32_t;

inline constexpr OleColor kSysWindow = 0x80000005;
inline constexpr OleColor kSysWindowText = 0x80000008;
inline constexpr OleColor kSysHighlight = 0x8000000D;
inline constexpr OleColor kSysHighlightText = 0x8000000E;

// Where system colours come from: the desktop's palette in the window layer, the classic
// defaults otherwise.
class SystemColors {
 public:
  virtual ~SystemColors() = default;
  // Returns the 0x00BBGGRR value of system colour index, or -1 for an unknown index.
  virtual int32_t Lookup(int index) const = 0;
};

// The classic desktop defaults (white window, black text, blue highlight).
const SystemColors& DefaultSystemColors();

// Returns the RGB value of color, or -1 when it cannot be translated (no palette is used).
int32_t TranslateColor(OleColor color, const SystemColors& system = DefaultSystemColors());

// The drawing objects a colour can carry; the drawing layer builds real brushes and pens
// from them.
struct SolidBrush {
  int32_t rgb = 0;
};
struct SolidPen {
  int32_t rgb = 0;
  int width = 1;
};

class Color {
 public:
  // A colour starts black with no drawing objects.
  Color() = default;
  explicit Color(const SystemColors& system) : system_(&system) {}

  // Replaces the colour: drops the previous brush and pen, translates color, and creates the
  // requested objects. An untranslatable colour leaves RGBColor -1 and no objects.
  void SetColor(OleColor color, bool wantBrush, bool wantPen);
  // Translates again (system colours may have changed) and renews the objects that exist.
  void Update();
  // Drops the brush and the pen.
  void Dispose();

  OleColor OLEColor() const { return oleColor_; }
  int32_t RGBColor() const { return rgbColor_; }
  bool GotGDIBrush() const { return gotBrush_; }
  bool GotGDIPen() const { return gotPen_; }
  // REQUIRES: GotGDIBrush().
  SolidBrush GDIBrush() const { return {rgbColor_}; }
  // REQUIRES: GotGDIPen().
  SolidPen GDIPen() const { return {rgbColor_, 1}; }

 private:
  const SystemColors* system_ = &DefaultSystemColors();
  OleColor oleColor_ = 0;
  int32_t rgbColor_ = 0;
  bool gotBrush_ = false;
  bool gotPen_ = false;
};

}  // namespace quillon::widgets
