#include "tools/printer-lab/printer-sim/ticket_render.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace korvante::sim {
namespace {

// DejaVu Sans has every Vietnamese letter in all four styles (its Mono
// sibling lacks the letters with a hook above).
constexpr const char* kFamily = "DejaVu Sans";

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, Deleter<cairo_surface_t, cairo_surface_destroy>>;
using Context = std::unique_ptr<cairo_t, Deleter<cairo_t, cairo_destroy>>;
using FcPatternOwner = std::unique_ptr<FcPattern, Deleter<FcPattern, FcPatternDestroy>>;

// Fontconfig answers every request with some font; the glyphs are DejaVu's
// only when it is installed (fonts-dejavu-core and -extra).
bool FamilyInstalled(const char* family) {
  FcPatternOwner pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family)));
  if (!pattern) return false;
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FcPatternOwner match(FcFontMatch(nullptr, pattern.get(), &result));
  FcChar8* found = nullptr;
  return match && FcPatternGetString(match.get(), FC_FAMILY, 0, &found) == FcResultMatch &&
         std::strcmp(reinterpret_cast<const char*>(found), family) == 0;
}

// One face of the family with its proportions at size 1: the advance of "0"
// (a digit, as wide as the common letters), which fills a printer cell's
// width, and the height from the lowest descender to the top of the tallest
// Vietnamese capitals (two marks stacked over the letter), which fills its
// height, as a printer's own font keeps them inside the cell.
struct Face {
  cairo_font_face_t* face = nullptr;
  double cellAdvance = 0.64;
  double ascent = 0.93;
  double descent = 0.24;
};

constexpr double kMeasureSize = 1000.0;

// A thermal head burns whole dots: no grey edges.
void SetThermalOptions(cairo_t* cr) {
  std::unique_ptr<cairo_font_options_t, Deleter<cairo_font_options_t, cairo_font_options_destroy>>
      options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options.get());
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
}

Face MakeFace(cairo_t* cr, bool bold, bool italic) {
  Face f;
  f.face = cairo_toy_font_face_create(kFamily,
                                      italic ? CAIRO_FONT_SLANT_OBLIQUE : CAIRO_FONT_SLANT_NORMAL,
                                      bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_face(cr, f.face);
  cairo_set_font_size(cr, kMeasureSize);
  cairo_font_extents_t font{};
  cairo_font_extents(cr, &font);
  cairo_text_extents_t digit{};
  cairo_text_extents(cr, "0", &digit);
  cairo_text_extents_t stacked{};
  cairo_text_extents(cr, "\u1EAA\u1EB2\u1EF6\u1EC4", &stacked);  // Ẫ Ẳ Ỷ Ễ
  if (font.ascent > 0 && digit.x_advance > 0) {
    f.cellAdvance = digit.x_advance / kMeasureSize;
    f.ascent = std::max(font.ascent, -stacked.y_bearing) / kMeasureSize;
    f.descent = font.descent / kMeasureSize;
  }
  return f;
}

// The four faces, made and measured once for the life of the process.
struct Fonts {
  bool installed = false;
  Face faces[2][2];  // [bold][italic]
};

const Fonts& TheFonts() {
  static const Fonts* const fonts = [] {
    auto* made = new Fonts;
    made->installed = FamilyInstalled(kFamily);
    Surface scratch(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
    Context cr(cairo_create(scratch.get()));
    SetThermalOptions(cr.get());
    for (int bold = 0; bold < 2; ++bold) {
      for (int italic = 0; italic < 2; ++italic)
        made->faces[bold][italic] = MakeFace(cr.get(), bold != 0, italic != 0);
    }
    return made;
  }();
  return *fonts;
}

void DrawLine(cairo_t* cr, const Face (&faces)[2][2], const PrintedLine& line) {
  const int bottom = line.top + line.height;
  for (const PrintedCharacter& c : line.characters) {
    if (c.code != U' ') {
      // Each glyph sits in the middle of its cell, drawn at the width that
      // makes a digit fill the cell, narrowed when wider than the cell (M,
      // W), and as tall as the cell.
      const Face& f = faces[c.style.bold][c.style.italic];
      std::string text;
      AppendUtf8(text, c.code);
      cairo_set_font_face(cr, f.face);
      cairo_set_font_size(cr, kMeasureSize);
      cairo_text_extents_t glyph{};
      cairo_text_extents(cr, text.c_str(), &glyph);
      const double advance = glyph.x_advance / kMeasureSize;
      double sx = c.width / f.cellAdvance;
      if (advance * sx > c.width) sx = c.width / advance;
      const double sy = c.height / (f.ascent + f.descent);
      cairo_matrix_t scale;
      cairo_matrix_init_scale(&scale, sx, sy);
      cairo_set_font_matrix(cr, &scale);
      cairo_move_to(cr, c.x + (c.width - advance * sx) / 2, bottom - f.descent * sy);
      cairo_show_text(cr, text.c_str());
    }
    if (c.style.underline > 0) {
      cairo_rectangle(cr, c.x, bottom - c.style.underline, c.width, c.style.underline);
      cairo_fill(cr);
    }
  }
}

void DrawQr(cairo_t* cr, const PrintedQr& qr) {
  for (int row = 0; row < qr.modules; ++row) {
    for (int column = 0; column < qr.modules; ++column) {
      if (!qr.dark[static_cast<std::size_t>(row * qr.modules + column)]) continue;
      cairo_rectangle(cr, qr.left + column * qr.moduleSize, qr.top + row * qr.moduleSize,
                      qr.moduleSize, qr.moduleSize);
    }
  }
  cairo_fill(cr);
}

void DrawCut(cairo_t* cr, int y) {
  const double dashes[] = {10.0, 6.0};
  cairo_save(cr);
  cairo_set_dash(cr, dashes, 2, 0.0);
  cairo_set_line_width(cr, 2.0);
  cairo_move_to(cr, 0, y + 1);
  cairo_line_to(cr, kPaperWidthDots, y + 1);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

bool WriteTicketPng(const PrintedStrip& strip, const std::string& path, std::string& error) {
  const Fonts& fonts = TheFonts();
  if (!fonts.installed) {
    error = std::string("the font ") + kFamily +
            " is not installed (fonts-dejavu-core, and fonts-dejavu-extra for its oblique faces)";
    return false;
  }
  const int height = std::clamp(strip.height, 1, kMaxPictureDots);
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPaperWidthDots, height));
  Context context(cairo_create(surface.get()));
  cairo_t* cr = context.get();
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    error = cairo_status_to_string(cairo_status(cr));
    return false;
  }
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);

  SetThermalOptions(cr);
  for (const PrintedLine& line : strip.lines) DrawLine(cr, fonts.faces, line);
  for (const PrintedQr& qr : strip.qrCodes) DrawQr(cr, qr);
  for (int cut : strip.cuts) DrawCut(cr, cut);

  cairo_surface_flush(surface.get());
  const cairo_status_t written = cairo_surface_write_to_png(surface.get(), path.c_str());
  if (written != CAIRO_STATUS_SUCCESS) {
    error = path + ": " + cairo_status_to_string(written);
    return false;
  }
  return true;
}

}  // namespace korvante::sim

// cairo 1.16 loses a copy of the fontconfig pattern of each toy font face it
// makes (four faces, once per process here); LeakSanitizer's builds would
// otherwise fail every run that draws a ticket.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
