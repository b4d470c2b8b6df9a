#pragma once
// One page of a print job: a grid of lines x 160 columns plus the list of texts placed on it.
// Texts overlay: only their non-blank characters are written into the grid, so a later text's
// blanks never erase what is already there; characters outside columns 1..160 are cut. Each grid
// cell remembers which text wrote it, so the PDF output can draw every text with its own font and
// still show exactly what the grid shows. When the page ends, Concluir() keeps the finished lines
// and visible pieces and hands the grid back to whoever gave it (the job reuses one grid for all its
// pages).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/impressao/fontes.h"

namespace impressao {

struct TTextoImpresso {
  int pagina = 0;
  int linha = 0;
  int coluna = 0;     // first column as placed (after centring); may lie outside 1..160
  std::string texto;  // as printed (accents already removed when asked), not cut
  TFontes fontes;
};

// What is left of a text on the finished page: blanks at both ends removed, characters covered
// by later texts turned into blanks. Empty texto when nothing of it shows.
struct TTrecho {
  int coluna = 0;
  std::string texto;
};

// The grid's storage, passed from page to page, with how many texts the last page had (pages of a
// job are alike: the next one reserves as many).
struct TGrade {
  std::u32string Caracteres;
  std::vector<int32_t> Donos;
  size_t Textos = 0;
};

class TPagina {
 public:
  TPagina(int numero, int qteLinhas, int qteColunas, TGrade grade = {});

  // Throws std::out_of_range when linha is outside 1..QteLinhas(); std::logic_error once concluded.
  void Escrever(int linha, int coluna, std::string texto, TFontes fontes);
  // Ends the page; the grid's storage is returned for the next page.
  TGrade Concluir();
  // Whether nothing is printed at (linha, coluna) yet; a cell outside the page is free. Not after
  // Concluir.
  bool Livre(int linha, int coluna) const;

  int Numero() const { return numero_; }
  int QteLinhas() const { return qteLinhas_; }
  int QteColunas() const { return qteColunas_; }
  const std::vector<TTextoImpresso>& Textos() const { return textos_; }
  std::vector<std::string> Linhas() const;  // QteLinhas() lines, trailing blanks trimmed
  bool Concluida() const { return concluida_; }
  // The same lines of a concluded page, without a copy (std::logic_error before Concluir).
  const std::vector<std::string>& LinhasConcluidas() const;
  TTrecho Visivel(size_t indiceTexto) const;

 private:
  std::vector<std::string> MontarLinhas() const;
  TTrecho MontarVisivel(size_t indiceTexto) const;
  size_t Celula(int linha, int coluna) const;

  int numero_, qteLinhas_, qteColunas_;
  std::vector<TTextoImpresso> textos_;
  std::u32string grade_;          // qteLinhas_ * qteColunas_ characters, row by row
  std::vector<int32_t> dono_;     // index in textos_ of the text that wrote each cell; -1 none
  bool concluida_ = false;
  std::vector<std::string> linhas_;  // filled by Concluir()
  std::vector<TTrecho> visiveis_;    // idem
};

}  // namespace impressao
