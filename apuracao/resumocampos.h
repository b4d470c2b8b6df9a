#pragma once
// Summary lines of a settlement: each is one numbered line of the book's settlement table with the
// detail items that make up its amount. A line list also owns the CFOP register of its side.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "apuracao/registros.h"
#include "host/base/datas.h"
#include "host/base/moeda.h"
#include "host/servicos/tipos.h"

class TDetalhamento {
 public:
  const std::string& GetCodigo() const { return FCodigo; }
  void SetCodigo(std::string v) { FCodigo = std::move(v); }
  TDateTime GetData() const { return FData; }
  void SetData(TDateTime v) { FData = v; }
  const std::string& GetDescricao() const { return FDescricao; }
  void SetDescricao(std::string v) { FDescricao = std::move(v); }
  Currency GetValor() const { return FValor; }
  void SetValor(Currency v) { FValor = v; }
  // In a centralised settlement, the other establishment the detail comes from ("ESTAB= 2 (name)");
  // empty for the summary's own. The book prints it; nothing else reads it.
  const std::string& GetEstabelecimento() const { return FEstabelecimento; }
  void SetEstabelecimento(std::string v) { FEstabelecimento = std::move(v); }

 private:
  std::string FEstabelecimento;
  std::string FCodigo;
  TDateTime FData = 0;
  std::string FDescricao;
  Currency FValor;
};

class TDetalhamentos {
 public:
  TDetalhamento* Add();
  // Appends a detail taken from another list (Extract): a detail moves between lines whole, with
  // its code, date and text.
  TDetalhamento* Add(std::unique_ptr<TDetalhamento> detalhe);
  // Removes the detail at the index from the list and hands it to the caller.
  std::unique_ptr<TDetalhamento> Extract(int i);
  TDetalhamento* GetItem(int i) const { return FItens.at(static_cast<size_t>(i)).get(); }
  int Count() const { return static_cast<int>(FItens.size()); }
  int IndexOf(const std::string& codigo) const;
  TDetalhamento* Locate(const std::string& codigo) const;

 private:
  std::vector<std::unique_ptr<TDetalhamento>> FItens;
};

class TResumoCampo {
 public:
  int32_t GetCodigo() const { return FCodigo; }
  void SetCodigo(int32_t v) { FCodigo = v; }
  const std::string& GetDescricao() const { return FDescricao; }
  void SetDescricao(std::string v) { FDescricao = std::move(v); }
  TDetalhamentos& GetDetalhamentos() { return FDetalhamentos; }
  const TDetalhamentos& GetDetalhamentos() const { return FDetalhamentos; }
  int8_t GetSinal() const { return FSinal; }
  void SetSinal(int8_t v) { FSinal = v; }
  // Sum of the details times the sign.
  Currency GetTotal() const;

 private:
  int32_t FCodigo = 0;
  std::string FDescricao;
  TDetalhamentos FDetalhamentos;
  int8_t FSinal = 0;
};

using TLancamentosApur = std::set<TLancamentoApur>;

class TResumoCampos {
 public:
  TResumoCampo* Add();
  TResumoCampo* GetItem(int i) const { return FItens.at(static_cast<size_t>(i)).get(); }
  int Count() const { return static_cast<int>(FItens.size()); }
  TResumoCampo* Locate(int32_t codigo) const;
  // Lines plus the register tax total.
  Currency GetTotal() const;
  TRegistros& GetRegistros() { return FRegistros; }
  const TRegistros& GetRegistros() const { return FRegistros; }

  // Appends one line per requested entry kind, with one detail per stored settlement entry of the
  // period (of the whole centralisation group for a centraliser).
  void Load(const TFilial& filial, const std::string& codImposto, TDateTime dataInicio, TDateTime dataFim,
            const TLancamentosApur& lancamentos, const TApuracaoCentralizada& formaApuracao);

 private:
  std::vector<std::unique_ptr<TResumoCampo>> FItens;
  TRegistros FRegistros;
};
