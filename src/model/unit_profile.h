// What the connection windows fix for the whole run: how the PC reaches the
// unit, which model it is, its video standard and the link speed.
#pragma once

#include <array>

namespace koral {

enum class LinkMode { Serial, Udp };
enum class UnitModel { Qt1Rx, QtMx };
enum class VideoStandard { Ntsc, Pal };

// Link speeds by position 0..5 of the speed lists.
inline constexpr std::array<int, 6> kLinkBaudRates = {1200, 2400, 4800, 9600, 19200, 28800};
inline constexpr int kBaud4800Index = 2;

constexpr const char* UnitModelName(UnitModel model) {
  return model == UnitModel::QtMx ? "QT-MX" : "QT-1RX";
}
constexpr const char* VideoStandardName(VideoStandard video) {
  return video == VideoStandard::Pal ? "PAL" : "NTSC";
}

}  // namespace koral
