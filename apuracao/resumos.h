#pragma once
// The summary list of a run: decides, period by period, which summaries exist (regular regime of
// the establishment's state and classification, then one ICMS-ST summary per selected inscription
// whose own period starts there) and creates them.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "apuracao/resumo.h"

class TQDClientDataSet;

// Creates the summary object of a type (the classes live with their regimes: regimes/fabricaresumos.h).
using TFabricaResumos = std::function<std::unique_ptr<TResumo>(TTipoResumo)>;

// What the run tells a tax-substitution summary about the state inscription it settles.
class TResumoInscricaoST {
 public:
  virtual ~TResumoInscricaoST() = default;
  virtual void SetUF(std::string uf) = 0;
  virtual void SetInscrEst(std::string inscricao) = 0;
};

class TResumos {
 public:
  explicit TResumos(TFabricaResumos fabrica) : FFabrica(std::move(fabrica)) {}

  // Creates the summary of the type's class and appends it; nothing (nullptr) for trInvalid or an
  // ordinal above 16.
  TResumo* Add(TTipoResumo tipo);
  TResumo* Add(const TFilial& filial, TDateTime dataInicio, TDateTime dataFim, TTipoResumo tipo);
  void Load(const TFilial& filial, TDateTime dataInicio, TDateTime dataFim);
  void Clear() { FItens.clear(); }
  // The last day of the last whole period the last Load walked (0 when the interval held none):
  // the days after it, up to the end asked for, were not settled.
  TDateTime GetFimApurado() const { return FFimApurado; }

  TResumo* GetItem(int i) const { return FItens.at(static_cast<size_t>(i)).get(); }
  int Count() const { return static_cast<int>(FItens.size()); }

  bool GetCalcularCIAP() const { return FCalcularCIAP; }
  void SetCalcularCIAP(bool v) { FCalcularCIAP = v; }
  TQDClientDataSet* GetDataSetImpostos() const { return FDataSetImpostos; }
  void SetDataSetImpostos(TQDClientDataSet* v) { FDataSetImpostos = v; }
  bool GetSolicitarDadosAcessorios() const { return FSolicitarDadosAcessorios; }
  void SetSolicitarDadosAcessorios(bool v) { FSolicitarDadosAcessorios = v; }

 private:
  TTipoResumo TipoNormal(const TFilial& filial, TTipoEnquadramento enq, uint8_t regimeSC) const;
  void AddSubstTrib(const TFilial& filial, TDateTime ini, TDateTime fim, TPeriodicidade p,
                    const TApuracaoCentralizada& forma);

  TFabricaResumos FFabrica;
  std::vector<std::unique_ptr<TResumo>> FItens;
  bool FCalcularCIAP = false;
  TQDClientDataSet* FDataSetImpostos = nullptr;
  bool FSolicitarDadosAcessorios = false;
  TDateTime FFimApurado = 0;
};
