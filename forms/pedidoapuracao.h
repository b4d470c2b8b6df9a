#pragma once
// A settlement request as a user gives it (establishment, dates as typed, tax choice and options),
// its validation with the ledger form's messages, and the run it starts.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/base/datas.h"

class TApuracao;
class TFrameSelecionarImpostos;
class TQDConnection;

class EPedidoInvalido : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TPedidoApuracao {
  int64_t IdFilial = 0;
  std::string DataInicio, DataFim;  // dd/mm/aaaa or aaaa-mm-dd
  std::string Impostos = "todos";   // todos | icms | icms-st | codes separated by commas
  bool Contabilizar = false;
  bool CalcularCIAP = false;
  bool DetalharSufixoCfop = false;
};

// Dates of a validated request.
struct TIntervalo {
  TDateTime Inicio = 0, Fim = 0;
};

// "Data inválida." / "A data final deve ser maior que a data inicial." (equal dates pass).
TIntervalo ValidarDatas(const std::string& inicio, const std::string& fim);
// Marks the taxes of the request in the selection; an empty selection means all taxes.
void SelecionarImpostos(TFrameSelecionarImpostos& frame, const std::string& impostos);

// Validates the request against the database (unknown establishment, dates, tax codes) before
// anything is written, then runs the settlement. Needs an active THost.
class TExecucaoApuracao {
 public:
  TExecucaoApuracao(TQDConnection& conexao, const TPedidoApuracao& pedido);
  ~TExecucaoApuracao();
  void Calcular();
  TApuracao& Apuracao() { return *apuracao_; }
  // Whether the interval is exactly one settlement period (auxiliary-data dialogs only then).
  bool PeriodoUnico() const { return periodoUnico_; }

 private:
  std::unique_ptr<TFrameSelecionarImpostos> impostos_;
  std::unique_ptr<TApuracao> apuracao_;
  bool periodoUnico_ = false;
  int64_t idFilial_ = 0;
};
