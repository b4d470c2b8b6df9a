#pragma once
// Font set of a printed text. The book asks the print engine for a handful of combinations (none
// at all, bold 10 cpi, plain 10 cpi, condensed 20 cpi); the engine records the set with each text
// and the PDF output picks glyph weight and width from it. The page grid itself is always 160
// columns at 20 cpi, one character per column whatever the font.
#include <initializer_list>

namespace impressao {

enum class TFonte : unsigned char { Negrito, Normal, Comprimido, Expandido };

class TFontes {
 public:
  constexpr TFontes() = default;
  constexpr TFontes(std::initializer_list<TFonte> fontes) {
    for (TFonte f : fontes) bits_ = static_cast<unsigned char>(bits_ | Bit(f));
  }
  constexpr bool Contem(TFonte f) const { return (bits_ & Bit(f)) != 0; }
  constexpr bool Vazio() const { return bits_ == 0; }
  friend constexpr bool operator==(TFontes, TFontes) = default;

 private:
  static constexpr unsigned char Bit(TFonte f) {
    return static_cast<unsigned char>(1u << static_cast<unsigned>(f));
  }
  unsigned char bits_ = 0;
};

}  // namespace impressao
