#pragma once
// The host's query components. TQDSQLQuery reads a result forward, field by name; TQDClientDataSet
// holds a whole result in memory and adds filtering and Locate, as the settlement's filtered
// loads need. Both pass their SQL through the dialect adapter, after asking the table of faster
// forms (formasrapidas.h) whether the text has one.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/base/datas.h"
#include "host/base/fracao.h"
#include "host/base/moeda.h"

class TQDConnection;
namespace banco { class TColuna; class TComando; struct TTabelaMemoria; }

// One value of a result row.
class TCampo {
 public:
  using Valor = std::variant<std::monostate, int64_t, double, std::string>;
  TCampo() = default;
  explicit TCampo(Valor v) : v_(std::move(v)) {}
  bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
  std::string AsString() const;
  int32_t AsInteger() const;
  int64_t AsLargeInt() const;
  double AsFloat() const;
  Currency AsCurrency() const { return Currency::FromDouble(AsFloat()); }
  // A rate or a limit as the exact decimal it reads as (TFracao::DeReal); 0 when null.
  TFracao AsFracao() const {
    if (auto i = std::get_if<int64_t>(&v_)) return TFracao(*i);
    return TFracao::DeReal(AsFloat());
  }
  // ISO text or a day number; 0 when null or not a date.
  TDateTime AsDateTime() const;
  const Valor& Bruto() const { return v_; }

 private:
  Valor v_;
};

// The value of a column of the current row (a blob as text).
TCampo::Valor LerColuna(const banco::TColuna& c);

class TQDSQLQuery {
 public:
  explicit TQDSQLQuery(TQDConnection& conexao);
  ~TQDSQLQuery();
  void SetSQL(std::string sql) { sql_ = std::move(sql); }
  const std::string& GetSQL() const { return sql_; }
  void Open();
  void Close();
  bool Eof() const { return eof_; }
  bool IsEmpty() const { return vazia_; }
  void Next();
  TCampo FieldByName(const std::string& nome) const;

 private:
  TQDConnection& conexao_;
  std::string sql_;
  std::unique_ptr<banco::TComando> stmt_;
  std::unique_ptr<banco::TTabelaMemoria> memoria_;  // a faster form's rows, read from memory
  size_t linha_ = 0;
  bool eof_ = true;
  bool vazia_ = true;
};

class TQDClientDataSet {
 public:
  TQDClientDataSet() = default;
  explicit TQDClientDataSet(TQDConnection* conexao) : conexao_(conexao) {}

  // Gives the data set the connection its command text runs on.
  void SetProvider(TQDConnection* conexao) { conexao_ = conexao; }
  void SetCommandText(std::string sql) { sql_ = std::move(sql); }
  void Open();
  void Close();

  // A data set built in memory: the fields, then rows appended.
  void DefinirCampos(std::vector<std::string> nomes);
  void AdicionarLinha(std::vector<TCampo::Valor> valores);
  void SetFieldValue(const std::string& nome, TCampo::Valor valor);  // on the current row

  // Filter text: comparisons "CAMPO op valor" joined by AND (op one of = <> < > <= >=, value an
  // integer, a decimal or a quoted text); empty = no filter.
  void SetFilter(std::string filtro);
  const std::string& GetFilter() const { return filtro_; }
  void SetFiltered(bool ligado);
  bool GetFiltered() const { return filtrado_; }

  void First();
  void Next();
  bool Eof() const;
  int RecordCount() const;
  TCampo FieldByName(const std::string& nome) const;

  // Moves to the first visible row whose fields (names separated by ';') equal the values; with
  // parcial, text fields need only begin with the value. Returns whether a row was found (the
  // position does not move otherwise).
  bool Locate(const std::string& campos, const std::vector<TCampo::Valor>& valores, bool parcial = false);

 private:
  struct Condicao { size_t campo; std::string op; TCampo::Valor valor; };
  int IndiceCampo(const std::string& nome) const;
  bool Visivel(size_t linha) const;
  void AjustarPosicao();

  TQDConnection* conexao_ = nullptr;
  std::string sql_;
  std::vector<std::string> campos_;
  std::vector<std::vector<TCampo::Valor>> linhas_;
  std::string filtro_;
  std::vector<Condicao> condicoes_;
  bool filtrado_ = false;
  size_t pos_ = 0;
};
