#include "commands/ticket_sizes.h"

#include <algorithm>
#include <array>

#include "commands/number_fields.h"

namespace korvante {

namespace {

// Share of the reference size per level: 0.8^(6 - level) up to 6, then
// 1.2^(level - 6).
constexpr std::array<double, kTextLevelMax> kSizeScale{0.32768, 0.4096, 0.512, 0.64, 0.8,
                                                       1.0,     1.2,    1.44,  1.728};

// Reference sizes at scale 1.0, in dots: text is Font A doubled, the queue
// number Font A times eight.
constexpr double kTextReferenceWidth = 24;
constexpr double kTextReferenceHeight = 48;
constexpr double kCounterReferenceWidth = 96;
constexpr double kCounterReferenceHeight = 192;

constexpr int kMaxMultiplier = 8;

struct NativeFont {
  std::uint8_t font;
  int cellWidth;
  int cellHeight;
};

// Candidate order matters: ties keep the earlier candidate.
constexpr NativeFont kNativeFonts[] = {{kFontA, 12, 24}, {kFontB, 9, 17}};

// GS ! n: width multiplier minus one in the high nibble, height in the low.
void AppendCharacterSize(CommandBuffer& buffer, int widthMultiplier, int heightMultiplier) {
  AppendBytes(buffer, kCharacterSizePrefix);
  AppendByte(buffer,
             static_cast<std::uint8_t>((widthMultiplier - 1) * 16 + (heightMultiplier - 1)));
}

}  // namespace

NativeFontFit FitNativeFont(int level, bool counter) {
  level = std::clamp(level, 1, counter ? kCounterLevelMax : kTextLevelMax);
  const double scale = kSizeScale[static_cast<std::size_t>(level - 1)];
  const double targetWidth = scale * (counter ? kCounterReferenceWidth : kTextReferenceWidth);
  const double targetHeight = scale * (counter ? kCounterReferenceHeight : kTextReferenceHeight);

  double bestError = 1e9;
  NativeFontFit best;
  for (const NativeFont& candidate : kNativeFonts) {
    for (int m = 1; m <= kMaxMultiplier; ++m) {
      const double dw = candidate.cellWidth * m / targetWidth - 1;
      const double dh = candidate.cellHeight * m / targetHeight - 1;
      const double error = dw * dw + dh * dh;
      if (error < bestError) {  // strictly: ties keep Font A and the smaller m
        bestError = error;
        best = {candidate.font, m, candidate.cellWidth, candidate.cellHeight};
      }
    }
  }
  return best;
}

void RenderQueueLine(CommandBuffer& buffer, const TicketLine& line) {
  if (IsBlankText(line.text)) return;

  const NativeFontFit fit = FitNativeFont(line.sizeLevel, false);
  const int height = fit.multiplier;
  int width = height;
  if (line.widthLevel <= kWidthNarrow) width = std::max(height - 1, 1);
  if (line.widthLevel >= kWidthWide) width = std::min(height + 1, kMaxMultiplier);

  // Font and bold are set on every line so that none inherits them.
  AppendBytes(buffer, kSelectFontPrefix);
  AppendByte(buffer, fit.font);
  AppendCharacterSize(buffer, width, height);
  AppendBytes(buffer, kEmphasisPrefix);
  AppendByte(buffer, line.bold ? 1 : 0);
  if (line.underline) {
    AppendBytes(buffer, kUnderlinePrefix);
    AppendByte(buffer, 1);
  }
  if (line.italic) AppendBytes(buffer, kItalicOn);
  AppendBytes(buffer, kJustifyPrefix);
  AppendByte(buffer, kJustifyCentre);
  AppendViscii(buffer, line.text);
  AppendByte(buffer, kLf);
  if (line.italic) AppendBytes(buffer, kItalicOff);
  if (line.underline) {
    AppendBytes(buffer, kUnderlinePrefix);
    AppendByte(buffer, 0);
  }
}

void AppendCounterStyle(CommandBuffer& buffer, int counterLevel) {
  const NativeFontFit fit = FitNativeFont(counterLevel, true);
  AppendBytes(buffer, kSelectFontPrefix);
  AppendByte(buffer, fit.font);
  AppendBytes(buffer, kEmphasisPrefix);
  AppendByte(buffer, 0);
  AppendCharacterSize(buffer, fit.multiplier, fit.multiplier);
  AppendBytes(buffer, kJustifyPrefix);
  AppendByte(buffer, kJustifyCentre);
}

int SizeListLevel(std::optional<int> selectedItemData) {
  return std::clamp(selectedItemData.value_or(kDefaultSizeLevel), 1, kTextLevelMax);
}

}  // namespace korvante
