#include "host/base/texto.h"

#include <algorithm>
#include <stdexcept>

namespace texto {

std::u32string ParaU32(std::string_view s) {
  std::u32string r;
  r.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    size_t n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c >> 5) == 0x6) { cp = c & 0x1F; n = 2; }
    else if ((c >> 4) == 0xE) { cp = c & 0x0F; n = 3; }
    else if ((c >> 3) == 0x1E) { cp = c & 0x07; n = 4; }
    else { r.push_back(U'\uFFFD'); ++i; continue; }  // stray byte: replacement character
    if (i + n > s.size()) { r.push_back(U'\uFFFD'); break; }
    bool ok = true;
    for (size_t k = 1; k < n; ++k) {
      auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 0x2) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) { r.push_back(U'\uFFFD'); ++i; continue; }
    r.push_back(cp);
    i += n;
  }
  return r;
}

std::string DeU32(std::u32string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char32_t cp : s) {
    if (cp < 0x80) {
      r.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      r.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      r.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      r.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      r.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return r;
}

size_t Tamanho(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string Copiar(std::string_view s, size_t inicio, size_t qtd) {
  if (inicio < 1) inicio = 1;
  if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return inicio > s.size() ? std::string() : std::string(s.substr(inicio - 1, qtd));
  auto u = ParaU32(s);
  if (inicio > u.size()) return {};
  return DeU32(std::u32string_view(u).substr(inicio - 1, qtd));
}

std::string PreencherEsquerda(std::string_view s, size_t n) {
  size_t t = Tamanho(s);
  return t >= n ? std::string(s) : std::string(n - t, ' ') + std::string(s);
}

std::string PreencherDireita(std::string_view s, size_t n) {
  size_t t = Tamanho(s);
  return t >= n ? std::string(s) : std::string(s) + std::string(n - t, ' ');
}

std::vector<std::string> Pedacos(std::string_view s, size_t n) {
  if (n == 0) throw std::invalid_argument("texto::Pedacos: tamanho de pedaço zero");
  auto u = ParaU32(s);
  std::vector<std::string> r;
  for (size_t i = 0; i < u.size(); i += n) r.push_back(DeU32(std::u32string_view(u).substr(i, n)));
  if (r.empty()) r.emplace_back();
  return r;
}

std::vector<std::string> QuebrarEmLinhas(std::string_view s, size_t primeira, size_t demais) {
  if (demais == 0) demais = primeira;
  if (primeira == 0) throw std::invalid_argument("texto::QuebrarEmLinhas: largura zero");
  const std::u32string todo = ParaU32(s);
  std::u32string_view u = todo;
  std::vector<std::string> r;
  for (size_t n = primeira; u.size() > n; n = demais) {
    // The last blank that keeps the line within n characters ends it; a word longer than the
    // line is cut.
    size_t corte = u.substr(0, n + 1).find_last_of(U' ');
    if (corte == std::u32string_view::npos || u.substr(0, corte).find_first_not_of(U' ') == std::u32string_view::npos)
      corte = n;
    std::u32string_view linha = u.substr(0, corte);
    while (!linha.empty() && linha.back() == U' ') linha.remove_suffix(1);
    r.push_back(DeU32(linha));
    u.remove_prefix(corte);
    while (!u.empty() && u.front() == U' ') u.remove_prefix(1);
  }
  if (!u.empty() || r.empty()) r.push_back(DeU32(u));
  return r;
}

std::vector<std::string> Linhas(std::string_view s) {
  std::vector<std::string> r;
  std::string atual;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      r.push_back(atual);
      atual.clear();
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      atual.push_back(s[i]);
    }
  }
  r.push_back(atual);
  return r;
}

namespace {
char32_t BaseSemAcento(char32_t c) {
  if (c < 0x80) return c;  // the letters of a text with accents are mostly plain
  static const std::u32string de = U"ÀÁÂÃÄÅàáâãäåÈÉÊËèéêëÌÍÎÏìíîïÒÓÔÕÖòóôõöÙÚÛÜùúûüÇçÑñÝýÿºª°";
  static const std::u32string para = U"AAAAAAaaaaaaEEEEeeeeIIIIiiiiOOOOOoooooUUUUuuuuCcNnYyyoao";
  auto p = de.find(c);
  return p == std::u32string::npos ? c : para[p];
}
}  // namespace

std::string SemAcento(std::string_view s) {
  // Most of a book is plain ASCII: nothing to look up.
  if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return std::string(s);
  auto u = ParaU32(s);
  for (auto& c : u) c = BaseSemAcento(c);
  return DeU32(u);
}

std::string Maiusculas(std::string_view s) {
  static const std::u32string min = U"áàâãäéèêëíìîïóòôõöúùûüçñ";
  static const std::u32string mai = U"ÁÀÂÃÄÉÈÊËÍÌÎÏÓÒÔÕÖÚÙÛÜÇÑ";
  auto u = ParaU32(s);
  for (auto& c : u) {
    if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
    else if (auto p = min.find(c); p != std::u32string::npos) c = mai[p];
  }
  return DeU32(u);
}

std::string Aparar(std::string_view s) {
  auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}

bool ComecaCom(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

std::string QuotedStr(std::string_view s) {
  std::string r = "'";
  for (char c : s) {
    r.push_back(c);
    if (c == '\'') r.push_back('\'');
  }
  r.push_back('\'');
  return r;
}

}  // namespace texto
