#pragma once
// Book text is UTF-8. Every length, position, cut and padding of it counts characters (code
// points), never bytes; positions are 1-based as in the book layout. Nothing else in the program
// measures text: it all goes through here.
#include <string>
#include <string_view>
#include <vector>

namespace texto {

std::u32string ParaU32(std::string_view utf8);
std::string DeU32(std::u32string_view s);

// Number of characters.
size_t Tamanho(std::string_view utf8);

// Copy(s, inicio, qtd): qtd characters from the 1-based position inicio; clipped at the end.
std::string Copiar(std::string_view utf8, size_t inicio, size_t qtd);

// Pads with blanks to at least n characters (never cuts).
std::string PreencherEsquerda(std::string_view utf8, size_t n);
std::string PreencherDireita(std::string_view utf8, size_t n);

// Pieces of at most n characters, in order; an empty text gives one empty piece.
std::vector<std::string> Pedacos(std::string_view utf8, size_t n);

// The text in lines of at most `primeira` characters for the first line and `demais` for the
// others (0: the same), broken at blanks where it can (the blanks at a break are dropped) and
// inside a word only when the word alone is longer than its line.
std::vector<std::string> QuebrarEmLinhas(std::string_view utf8, size_t primeira, size_t demais = 0);

// Lines of a text broken at CR LF, LF or CR.
std::vector<std::string> Linhas(std::string_view utf8);

// Accents and cedilla removed (á -> a, Ç -> C, º -> o, ...), for engines that print plain ASCII.
std::string SemAcento(std::string_view utf8);

std::string Maiusculas(std::string_view utf8);
std::string Aparar(std::string_view s);
bool ComecaCom(std::string_view s, std::string_view prefixo);

// Text quoted for SQL: enclosed in single quotes, inner quotes doubled.
std::string QuotedStr(std::string_view s);

}  // namespace texto
