#include "host/impressao/pagina.h"

#include <algorithm>
#include <stdexcept>

#include "host/base/texto.h"

namespace impressao {

TPagina::TPagina(int numero, int qteLinhas, int qteColunas, TGrade grade)
    : numero_(numero), qteLinhas_(qteLinhas), qteColunas_(qteColunas), grade_(std::move(grade.Caracteres)),
      dono_(std::move(grade.Donos)) {
  const size_t celulas = static_cast<size_t>(qteLinhas) * static_cast<size_t>(qteColunas);
  grade_.assign(celulas, U' ');
  dono_.assign(celulas, -1);
  textos_.reserve(grade.Textos);
}

bool TPagina::Livre(int linha, int coluna) const {
  if (concluida_) throw std::logic_error("página " + std::to_string(numero_) + " já foi encerrada");
  if (linha < 1 || linha > qteLinhas_ || coluna < 1 || coluna > qteColunas_) return true;
  return grade_[Celula(linha, coluna)] == U' ';
}

namespace {
// Grid characters back to text; a book's grid is mostly ASCII, which needs no encoding.
std::string Texto(std::u32string_view u) {
  if (std::all_of(u.begin(), u.end(), [](char32_t c) { return c < 0x80; })) {
    std::string r(u.size(), ' ');
    std::transform(u.begin(), u.end(), r.begin(), [](char32_t c) { return static_cast<char>(c); });
    return r;
  }
  return texto::DeU32(u);
}
}  // namespace

size_t TPagina::Celula(int linha, int coluna) const {
  return static_cast<size_t>(linha - 1) * static_cast<size_t>(qteColunas_) +
         static_cast<size_t>(coluna - 1);
}

void TPagina::Escrever(int linha, int coluna, std::string texto, TFontes fontes) {
  if (concluida_)
    throw std::logic_error("página " + std::to_string(numero_) + " já foi encerrada");
  if (linha < 1 || linha > qteLinhas_)
    throw std::out_of_range("linha " + std::to_string(linha) + " fora da página " +
                            std::to_string(numero_) + " (linhas 1 a " +
                            std::to_string(qteLinhas_) + ")");
  const auto indice = static_cast<int32_t>(textos_.size());
  const std::string& t = textos_.emplace_back(TTextoImpresso{numero_, linha, coluna, std::move(texto), fontes}).texto;
  int c = coluna;
  auto marcar = [&](char32_t ch) {
    if (c > qteColunas_) return false;
    if (c >= 1 && ch != U' ') {
      // A control character would break the line structure of the outputs.
      grade_[Celula(linha, c)] = (ch < 0x20 || ch == 0x7F) ? U'?' : ch;
      dono_[Celula(linha, c)] = indice;
    }
    ++c;
    return true;
  };
  if (std::all_of(t.begin(), t.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; })) {
    for (char ch : t)
      if (!marcar(static_cast<char32_t>(ch))) break;
    return;
  }
  for (char32_t ch : texto::ParaU32(t))
    if (!marcar(ch)) break;
}

std::vector<std::string> TPagina::MontarLinhas() const {
  std::vector<std::string> r;
  r.reserve(static_cast<size_t>(qteLinhas_));
  for (int l = 1; l <= qteLinhas_; ++l) {
    std::u32string_view linha(grade_.data() + Celula(l, 1), static_cast<size_t>(qteColunas_));
    size_t fim = linha.find_last_not_of(U' ');
    r.push_back(fim == linha.npos ? std::string() : Texto(linha.substr(0, fim + 1)));
  }
  return r;
}

TTrecho TPagina::MontarVisivel(size_t i) const {
  const TTextoImpresso& t = textos_.at(i);
  const auto dono = static_cast<int32_t>(i);
  const int fim = std::min(t.coluna + static_cast<int>(texto::Tamanho(t.texto)) - 1, qteColunas_);
  // A text owns only non-blank cells, so its piece runs from its first to its last own cell.
  int primeira = 0, ultima = 0;
  bool ascii = true;
  for (int c = std::max(t.coluna, 1); c <= fim; ++c) {
    const size_t celula = Celula(t.linha, c);
    if (dono_[celula] != dono) continue;
    if (primeira == 0) primeira = c;
    ultima = c;
    ascii = ascii && grade_[celula] < 0x80;
  }
  if (primeira == 0) return {0, {}};
  const size_t inicio = Celula(t.linha, primeira), tamanho = static_cast<size_t>(ultima - primeira + 1);
  auto caractere = [&](size_t k) { return dono_[inicio + k] == dono ? grade_[inicio + k] : U' '; };
  if (ascii) {
    std::string r(tamanho, ' ');
    for (size_t k = 0; k < tamanho; ++k) r[k] = static_cast<char>(caractere(k));
    return {primeira, std::move(r)};
  }
  std::u32string vis(tamanho, U' ');
  for (size_t k = 0; k < tamanho; ++k) vis[k] = caractere(k);
  return {primeira, texto::DeU32(vis)};
}

TGrade TPagina::Concluir() {
  if (concluida_) return {};
  linhas_ = MontarLinhas();
  visiveis_.reserve(textos_.size());
  for (size_t i = 0; i < textos_.size(); ++i) visiveis_.push_back(MontarVisivel(i));
  concluida_ = true;
  TGrade g{std::move(grade_), std::move(dono_), textos_.size()};
  grade_.clear();
  dono_.clear();
  return g;
}

std::vector<std::string> TPagina::Linhas() const {
  return concluida_ ? linhas_ : MontarLinhas();
}

const std::vector<std::string>& TPagina::LinhasConcluidas() const {
  if (!concluida_) throw std::logic_error("página " + std::to_string(numero_) + " ainda não foi encerrada");
  return linhas_;
}

TTrecho TPagina::Visivel(size_t i) const {
  return concluida_ ? visiveis_.at(i) : MontarVisivel(i);
}

}  // namespace impressao
