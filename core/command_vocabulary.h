// Every command the tool sends to a printer, as named byte sequences: an
// ESC/POS subset plus the printers' proprietary US ESC US (1F 1B 1F) family.
// Builders of each configuration action append these to a command buffer
// (command_buffer.h); nothing here knows about transports.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace korvante {

// --- Control bytes ---------------------------------------------------------------
inline constexpr std::uint8_t kDle = 0x10;
inline constexpr std::uint8_t kEot = 0x04;
inline constexpr std::uint8_t kLf = 0x0A;
inline constexpr std::uint8_t kEsc = 0x1B;
inline constexpr std::uint8_t kFs = 0x1C;
inline constexpr std::uint8_t kGs = 0x1D;
inline constexpr std::uint8_t kUs = 0x1F;

template <std::size_t N>
using Bytes = std::array<std::uint8_t, N>;

// --- ESC/POS commands ------------------------------------------------------------
// Fixed commands are complete sequences; "Prefix" sequences take their
// parameter byte(s) right after them.
inline constexpr Bytes<2> kInitialize{kEsc, 0x40};                 // ESC @
inline constexpr Bytes<3> kPrintAndFeedOneLine{kEsc, 0x64, 0x01};  // ESC d 1
inline constexpr char kFeedDotsLetter = 'J';                       // ESC J n (split feed)
inline constexpr char kFirmwareFeedLetter = 'j';       // ESC j n, the firmware's feed (split feed)
inline constexpr Bytes<2> kJustifyPrefix{kEsc, 0x61};  // ESC a n
inline constexpr std::uint8_t kJustifyCentre = 0x01;
inline constexpr Bytes<2> kSelectFontPrefix{kEsc, 0x4D};  // ESC M n
inline constexpr std::uint8_t kFontA = 0x00;              //   12 x 24 dots
inline constexpr std::uint8_t kFontB = 0x01;              //   9 x 17 dots
inline constexpr Bytes<2> kEmphasisPrefix{kEsc, 0x45};    // ESC E n (bold)
inline constexpr Bytes<2> kUnderlinePrefix{kEsc, 0x2D};   // ESC - n
inline constexpr Bytes<2> kItalicOn{kEsc, 0x34};          // ESC 4
inline constexpr Bytes<2> kItalicOff{kEsc, 0x35};         // ESC 5
inline constexpr Bytes<2> kPrintModePrefix{kEsc, 0x21};   // ESC ! n
inline constexpr std::uint8_t kPrintModeNormal = 0x00;
inline constexpr std::uint8_t kPrintModeDoubleWidth = 0x20;
inline constexpr Bytes<2> kCharacterSizePrefix{kGs, 0x21};           // GS ! n
inline constexpr Bytes<3> kFullCut{kGs, 0x56, 0x00};                 // GS V 0
inline constexpr Bytes<2> kCancelDoubleByteMode{kFs, 0x2E};          // FS .
inline constexpr Bytes<3> kSelectCodeTableViscii{kEsc, 0x74, 0x1B};  // ESC t 27

// GS ( k: QR code.
inline constexpr Bytes<7> kQrModuleSizePrefix{kGs, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x43};  // n
inline constexpr std::uint8_t kQrModuleSize = 5;
inline constexpr Bytes<7> kQrErrorCorrectionPrefix{kGs, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x45};
inline constexpr std::uint8_t kQrErrorCorrectionM = 0x31;
inline constexpr Bytes<3> kQrStorePrefix{kGs, 0x28, 0x6B};     // then pL pH
inline constexpr Bytes<3> kQrStoreFunction{0x31, 0x50, 0x30};  // then the data
inline constexpr Bytes<8> kQrPrint{kGs, 0x28, 0x6B, 0x03, 0x00, 0x31, 0x51, 0x30};

// GS ( L: NV graphics.
inline constexpr Bytes<10> kDeleteAllNvGraphics{kGs,  0x28, 0x4C, 0x05, 0x00,
                                                0x30, 0x41, 0x43, 0x4C, 0x52};  // "CLR"
inline constexpr Bytes<9> kDeleteNvGraphicsKey2020{kGs,  0x28, 0x4C, 0x04, 0x00,
                                                   0x30, 0x42, 0x20, 0x20};

// DLE EOT n: real-time status, the probe that tells a printer on port 9100.
inline constexpr Bytes<3> kStatusPrinter{kDle, kEot, 0x01};
inline constexpr Bytes<3> kStatusOffline{kDle, kEot, 0x02};
inline constexpr Bytes<3> kStatusPaperSensor{kDle, kEot, 0x04};

// --- Proprietary commands: US ESC US, function byte, fixed bytes ---------------
inline constexpr Bytes<3> kProprietaryPrefix{kUs, kEsc, kUs};
inline constexpr std::uint8_t kFnSetLanAddress = 0x22;  // + 4 address bytes
inline constexpr std::uint8_t kFnWifiSettings = 0xB4;   // + ip, mask, gw, 06, ssid 00 pw 00
inline constexpr std::uint8_t kFnDensity = 0x13;        // + 14 n
inline constexpr std::uint8_t kFnBuzzer = 0xE0;         // + 13 14 s 04 02 03
inline constexpr std::uint8_t kFnQueue = 0x84;          // settings and ticket program
inline constexpr std::uint8_t kFnQueuePreamble = 0x00;  // + 0A 00 01
inline constexpr std::uint8_t kFnCodePage = 0xFF;       // + 1B 0A 00

// Byte sequences concatenated at compile time, so that each fixed sequence is
// spelled with the vocabulary's names.
template <std::size_t... N>
constexpr Bytes<(N + ...)> JoinBytes(const Bytes<N>&... parts) {
  Bytes<(N + ...)> out{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)), at += N),
   ...);
  return out;
}

// FS ., ESC t 27, then US ESC US FF 1B 0A 00: the printer prints the VISCII
// bytes that follow. Sent ahead of the queue settings and of the ticket text.
inline constexpr Bytes<12> kCodePagePrefix =
    JoinBytes(kCancelDoubleByteMode, kSelectCodeTableViscii, kProprietaryPrefix,
              Bytes<4>{kFnCodePage, 0x1B, 0x0A, 0x00});

}  // namespace korvante
