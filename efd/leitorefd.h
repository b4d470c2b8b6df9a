#pragma once
// Reading the client's EFD ICMS/IPI file line by line: one record a line, fields between pipes,
// amounts with a decimal comma and no thousands separator, dates as ddmmaaaa. The official text is
// Latin-1; a line that is valid UTF-8 is taken as it stands (some programs write UTF-8), any other
// is converted from Latin-1, so what the reader hands on is always UTF-8. Reading stops at record
// 9999: a signed file carries its digital signature, binary, after it.
//
// Fields are numbered as the official layout numbers them: field 01 is the record name (REG).
// Records gain fields at the end from one layout version to the next, so a record is read by
// position and may carry more fields than the ones asked for.
#include <cstdint>
#include <functional>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/base/datas.h"
#include "host/base/moeda.h"

namespace efd {

// A line the reader cannot take. The message names the file, the line number and the record and,
// where one field is at fault, shows the line with a caret under that field.
class EArquivoEFD : public std::runtime_error {
 public:
  EArquivoEFD(const std::string& mensagem, int64_t linha, std::string registro)
      : std::runtime_error(mensagem), linha_(linha), registro_(std::move(registro)) {}
  int64_t Linha() const { return linha_; }
  const std::string& Registro() const { return registro_; }

 private:
  int64_t linha_;
  std::string registro_;
};

class TRegistroEFD {
 public:
  const std::string& Reg() const { return campos_.front(); }
  int64_t Linha() const { return linha_; }
  size_t Quantidade() const { return campos_.size(); }

  // The text of field n (01 = REG); "" when the record has fewer fields.
  const std::string& Texto(size_t n) const;
  // Amount of field n: "1234,56", never negative, at most two decimals, as the layout writes every
  // amount; an empty field throws (the layout makes it mandatory). Anything else throws, naming the
  // field.
  Currency Valor(size_t n, std::string_view nome) const;
  // The same for a field the layout lets be empty (conditional): empty = 0.
  Currency ValorOpcional(size_t n, std::string_view nome) const;
  // Date of field n: "ddmmaaaa"; empty = 0 (no date). An invalid date throws.
  TDateTime Data(size_t n, std::string_view nome) const;
  // Whole number of field n (document numbers); empty = 0.
  int64_t Inteiro(size_t n, std::string_view nome) const;
  // Throws unless the record has at least n fields.
  void ExigirCampos(size_t n) const;
  // The error of field n, with the caret under it.
  [[noreturn]] void Falhar(size_t n, std::string_view nome, std::string_view problema) const;
  [[noreturn]] void Falhar(std::string_view problema) const;

 private:
  friend class TLeitorEFD;
  std::vector<std::string> campos_;
  std::string texto_;    // the line as read (UTF-8), for messages
  std::string arquivo_;  // file name, for messages
  int64_t linha_ = 0;
};

class TLeitorEFD {
 public:
  // `progresso` is told the bytes read so far and `tamanho` (0 = unknown) every few thousand lines.
  using TProgresso = std::function<void(int64_t lidos, int64_t total)>;
  TLeitorEFD(std::istream& entrada, std::string arquivo, int64_t tamanho = 0, TProgresso progresso = {});

  // The next record; false at the end of the file or after record 9999. Blank lines are skipped;
  // a line that does not begin and end with a pipe, or names no record, throws.
  bool Proximo(TRegistroEFD& registro);
  int64_t LinhasLidas() const { return linha_; }
  bool Encerrado() const { return encerrado_; }  // record 9999 was read
  // FNV-1a of the lines read so far (line ends aside): the same file gives the same digest.
  uint64_t Digesto() const { return digesto_; }

 private:
  std::istream& entrada_;
  std::string arquivo_;
  int64_t tamanho_;
  TProgresso progresso_;
  int64_t linha_ = 0;
  int64_t lidos_ = 0;
  bool encerrado_ = false;
  uint64_t digesto_ = 14695981039346656037ull;
  std::string bruta_;
};

// A field's text for a message: the first characters only, so that a field of megabytes is never
// repeated in full.
std::string Trecho(std::string_view campo);

// Text of a line as UTF-8: kept when it already is valid UTF-8, else read as Latin-1.
std::string ParaUtf8(std::string_view linha);
// UTF-8 text as Latin-1 (the encoding of the files we write); characters outside Latin-1 become '?'.
std::string ParaLatin1(std::string_view utf8);

}  // namespace efd
