// koral-make-siren OUTPUT.wav: writes the alarm window's siren, a short
// up-and-down sweep, as a 16-bit mono PCM wave file.
//
// The window restarts the sound every 200 ms while a lamp blinks, and every
// restart cuts off the sound still playing. So the siren is made of 200 ms
// whoops, each fading in and out: a cut-off or a restart lands on near-silence
// and does not click, and the last whoop plays out whole.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kSampleRate = 22050;
constexpr std::uint16_t kChannels = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr int kWhoops = 3;
constexpr double kWhoopSeconds = 0.2;  // the window's restart period
constexpr double kLowHz = 600.0;
constexpr double kHighHz = 1400.0;
constexpr double kAttackSeconds = 0.012;
constexpr double kReleaseSeconds = 0.025;
constexpr double kPeak = 0.7;  // of full scale: loud, with room to spare
constexpr double kThirdHarmonic = 0.18;

// A raised-cosine fade from 0 to 1 over `length` seconds.
double Fade(double t, double length) {
  if (t >= length) return 1.0;
  return 0.5 - 0.5 * std::cos(std::numbers::pi * t / length);
}

std::vector<std::int16_t> Siren() {
  const auto whoopSamples = static_cast<std::size_t>(kWhoopSeconds * kSampleRate);
  std::vector<std::int16_t> samples;
  samples.reserve(whoopSamples * kWhoops);
  double phase = 0.0;  // carried on, so the pitch glides without a jump
  for (int whoop = 0; whoop < kWhoops; ++whoop) {
    for (std::size_t n = 0; n < whoopSamples; ++n) {
      const double t = static_cast<double>(n) / kSampleRate;
      const double u = t / kWhoopSeconds;  // 0..1 through the whoop
      const double hz = kLowHz + (kHighHz - kLowHz) * std::sin(std::numbers::pi * u);
      phase += 2.0 * std::numbers::pi * hz / kSampleRate;
      const double envelope = Fade(t, kAttackSeconds) * Fade(kWhoopSeconds - t, kReleaseSeconds);
      const double wave = (std::sin(phase) + kThirdHarmonic * std::sin(3.0 * phase)) / (1.0 + kThirdHarmonic);
      samples.push_back(static_cast<std::int16_t>(std::lround(kPeak * envelope * wave * 32767.0)));
    }
  }
  return samples;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
}

// The RIFF/WAVE container: a "fmt " chunk for plain PCM and the "data" chunk.
std::string WaveFile(const std::vector<std::int16_t>& samples) {
  constexpr std::uint32_t kBlockAlign = kChannels * kBitsPerSample / 8;
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBlockAlign);
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  PutLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVE";
  out += "fmt ";
  PutLittleEndian(out, 16, 4);  // chunk size
  PutLittleEndian(out, 1, 2);   // PCM
  PutLittleEndian(out, kChannels, 2);
  PutLittleEndian(out, kSampleRate, 4);
  PutLittleEndian(out, kSampleRate * kBlockAlign, 4);  // bytes per second
  PutLittleEndian(out, kBlockAlign, 2);
  PutLittleEndian(out, kBitsPerSample, 2);
  out += "data";
  PutLittleEndian(out, dataBytes, 4);
  for (const std::int16_t sample : samples)
    PutLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: koral-make-siren OUTPUT.wav\n";
    return 2;
  }
  const std::string wave = WaveFile(Siren());
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(wave.data(), static_cast<std::streamsize>(wave.size()));
  out.close();
  if (!out) {
    std::cerr << "koral-make-siren: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
