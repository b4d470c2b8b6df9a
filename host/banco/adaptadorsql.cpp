#include "host/banco/adaptadorsql.h"

#include <cctype>
#include <stdexcept>

namespace {

bool Letra(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$'; }

// The keyword (upper-case ASCII) at `i`, in any case, as a whole word. Every text is adapted each
// time it runs: the letters are compared without the locale's tables.
bool PalavraEm(const std::string& s, std::string_view palavra, size_t i) {
  if (i + palavra.size() > s.size()) return false;
  for (size_t k = 0; k < palavra.size(); ++k) {
    const char c = s[i + k];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != palavra[k]) return false;
  }
  if (i > 0 && Letra(s[i - 1])) return false;
  return i + palavra.size() >= s.size() || !Letra(s[i + palavra.size()]);
}

// Case-insensitive search of a keyword outside string literals, as a whole word.
size_t AcharPalavra(const std::string& s, std::string_view palavra, size_t de = 0) {
  bool emTexto = false;
  for (size_t i = de; i < s.size(); ++i) {
    if (s[i] == '\'') { emTexto = !emTexto; continue; }
    if (!emTexto && PalavraEm(s, palavra, i)) return i;
  }
  return std::string::npos;
}

// Index of the ')' that closes the '(' at `abre`.
size_t FechaParenteses(const std::string& s, size_t abre) {
  int nivel = 0;
  bool emTexto = false;
  for (size_t i = abre; i < s.size(); ++i) {
    if (s[i] == '\'') emTexto = !emTexto;
    if (emTexto) continue;
    if (s[i] == '(') ++nivel;
    if (s[i] == ')' && --nivel == 0) return i;
  }
  throw std::invalid_argument("SQL com parênteses desbalanceados: " + s.substr(0, 120));
}

std::string Aparar(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  size_t b = 0;
  while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  return s.substr(b);
}

void TrocarSubstring(std::string& s) {
  for (size_t p; (p = AcharPalavra(s, "SUBSTRING")) != std::string::npos;) {
    size_t abre = s.find('(', p);
    size_t fecha = FechaParenteses(s, abre);
    std::string dentro = s.substr(abre + 1, fecha - abre - 1);
    size_t pFrom = AcharPalavra(dentro, "FROM");
    size_t pFor = AcharPalavra(dentro, "FOR");
    std::string novo;
    if (pFrom == std::string::npos) {
      novo = "substr(" + dentro + ")";
    } else {
      std::string expr = dentro.substr(0, pFrom);
      std::string ini = pFor == std::string::npos ? dentro.substr(pFrom + 4) : dentro.substr(pFrom + 4, pFor - pFrom - 4);
      novo = "substr(" + Aparar(expr) + ", " + Aparar(ini);
      if (pFor != std::string::npos) novo += ", " + Aparar(dentro.substr(pFor + 3));
      novo += ")";
    }
    s.replace(p, fecha - p + 1, novo);
  }
}

void TrocarFirst(std::string& s) {
  size_t p = AcharPalavra(s, "FIRST");
  if (p == std::string::npos) return;
  size_t sel = AcharPalavra(s, "SELECT");
  if (sel == std::string::npos || sel > p) return;
  size_t i = p + 5;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  size_t ini = i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  std::string n = s.substr(ini, i - ini);
  if (n.empty()) return;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  s.erase(p, i - p);
  s = Aparar(s);
  if (!s.empty() && s.back() == ';') s.pop_back();
  s += " LIMIT " + n;
}

// Left operand of STARTING WITH: the identifier (with dots) just before it.
void TrocarStartingWith(std::string& s) {
  for (size_t p; (p = AcharPalavra(s, "STARTING")) != std::string::npos;) {
    size_t w = AcharPalavra(s, "WITH", p);
    if (w == std::string::npos) throw std::invalid_argument("STARTING sem WITH no SQL");
    size_t fimEsq = p;
    while (fimEsq > 0 && std::isspace(static_cast<unsigned char>(s[fimEsq - 1]))) --fimEsq;
    size_t iniEsq = fimEsq;
    while (iniEsq > 0 && Letra(s[iniEsq - 1])) --iniEsq;
    std::string esq = s.substr(iniEsq, fimEsq - iniEsq);
    // Right operand: up to the first ')' closing beyond it, or a keyword at depth 0.
    size_t i = w + 4;
    int nivel = 0;
    bool emTexto = false;
    for (; i < s.size(); ++i) {
      char c = s[i];
      if (c == '\'') emTexto = !emTexto;
      if (emTexto) continue;
      if (c == '(') ++nivel;
      if (c == ')') { if (nivel == 0) break; --nivel; }
      if (nivel == 0 && (PalavraEm(s, "AND", i) || PalavraEm(s, "OR", i) || PalavraEm(s, "WHERE", i) ||
                         PalavraEm(s, "ORDER", i) || PalavraEm(s, "GROUP", i)))
        break;
    }
    std::string dir = Aparar(s.substr(w + 4, i - w - 4));
    // The range lets an index on the left operand serve the prefix; the substr keeps it exact.
    std::string novo = "(" + esq + " >= (" + dir + ") AND " + esq + " < ((" + dir + ") || char(1114111)) AND substr(" + esq +
                       ", 1, length(" + dir + ")) = (" + dir + "))";
    s.replace(iniEsq, i - iniEsq, novo + (i < s.size() && s[i] != ')' ? " " : ""));
  }
}

// CAST(<text 'mm/dd/yyyy'> AS DATE): the date in ISO form, as the rest of the database keeps it.
void TrocarCastDate(std::string& s) {
  for (size_t p = 0; (p = AcharPalavra(s, "CAST", p)) != std::string::npos;) {
    size_t abre = s.find('(', p);
    size_t fecha = FechaParenteses(s, abre);
    std::string dentro = s.substr(abre + 1, fecha - abre - 1);
    // the last AS at depth 0
    size_t as = std::string::npos;
    int nivel = 0;
    for (size_t i = 0; i < dentro.size(); ++i) {
      if (dentro[i] == '(') ++nivel;
      if (dentro[i] == ')') --nivel;
      if (nivel == 0 && PalavraEm(dentro, "AS", i)) as = i;
    }
    if (as == std::string::npos || Aparar(dentro.substr(as + 2)) != "DATE") { p = abre; continue; }
    std::string e = Aparar(dentro.substr(0, as));
    std::string novo = "(CASE WHEN (" + e + ") GLOB '[0-1][0-9]/[0-3][0-9]/[0-9][0-9][0-9][0-9]' THEN "
                       "substr((" + e + "), 7, 4) || '-' || substr((" + e + "), 1, 2) || '-' || substr((" + e + "), 4, 2) END)";
    s.replace(p, fecha - p + 1, novo);
    p += novo.size();
  }
}

}  // namespace

std::string AdaptarSQL(std::string_view sql) {
  std::string s(sql);
  // Most texts have none of the constructs: one look for their keywords' initials first.
  bool talvez = false;
  for (size_t i = 0; i < s.size() && !talvez; ++i) {
    const char c = s[i];
    talvez = (c == 'S' || c == 's' || c == 'C' || c == 'c' || c == 'F' || c == 'f') &&
             (PalavraEm(s, "SUBSTRING", i) || PalavraEm(s, "STARTING", i) || PalavraEm(s, "CAST", i) ||
              PalavraEm(s, "FIRST", i));
  }
  if (!talvez) return s;
  TrocarSubstring(s);
  TrocarStartingWith(s);
  TrocarCastDate(s);
  TrocarFirst(s);
  return s;
}
