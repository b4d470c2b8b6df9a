#pragma once
// The settlement run of one establishment over a date interval: loads the summary list, calculates
// every summary in list order and, when asked, hands the interval to accounting posting.
//
// Before anything is recorded the run refuses what would settle wrong figures: an interval outside
// its limits or whose start is not the start of a settlement period (EIntervaloInvalido), and
// stored data that the settlement would misread, in every row its summaries will read
// (EDadosInvalidos, host/banco/integridade.h; the list is made first, so that each summary can say
// what it reads). Each summary then records in one transaction of its own
// (TResumo::CalcularApuracao); a refusal met inside one names the summaries recorded before it.
#include <functional>
#include <memory>
#include <stdexcept>

#include "apuracao/resumo.h"
#include "apuracao/resumos.h"

// The interval of a request that the run does not settle; nothing was recorded.
class EIntervaloInvalido : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TApuracao {
 public:
  // Dates a request may name. ICMS exists since 1989; the bounds leave room on both sides while
  // keeping every date a four-digit year of this and the next century, so that a mistyped year
  // (0026, 9999) is refused instead of settling decades of empty periods.
  static constexpr int kPrimeiroAno = 1900, kUltimoAno = 2099;
  // The longest interval of one request: the five years within which the tax authority may still
  // assess a period (CTN arts. 150 and 173), so that no revision needs more. Daily periods over five
  // years are about 1,800 summaries; a longer request is split by the user.
  static constexpr int kMaximoAnos = 5;

  // `fabrica` creates the summary objects (regimes/fabricaresumos.h: CriarResumo).
  explicit TApuracao(TFabricaResumos fabrica);
  void CalcularApuracao();
  // Calculates the summaries the list holds, in list order, without loading it and without the
  // checks of the interval: a summary that settles other summaries inside its own calculation
  // fills a run of its own and calculates it here, leaving the list of the run it belongs to alone.
  void CalcularResumos();

  // Told before each summary is calculated: the summary (its establishment, tax and period), its
  // position in the list from 0 and the size of the list. A screen shows the progress with it; a
  // hook that throws EAbortarSilencioso stops the run before that summary, as a cancelled question
  // does (the summaries already calculated stay recorded).
  using TProgresso = std::function<void(const TResumo& resumo, int indice, int quantidade)>;
  TProgresso OnAntesDeCalcular;

  bool GetContabilizar() const { return FContabilizar; }
  void SetContabilizar(bool v) { FContabilizar = v; }
  TDateTime GetDataFim() const { return FDataFim; }
  void SetDataFim(TDateTime v) { FDataFim = v; }
  TDateTime GetDataInicio() const { return FDataInicio; }
  void SetDataInicio(TDateTime v) { FDataInicio = v; }
  const TFilial& GetFilial() const { return FFilial; }
  void SetFilial(int64_t idFilial);
  TResumos& GetResumos() { return *FResumos; }
  bool GetDetalharCfopPorSufixo() const { return FDetalharCfopPorSufixo; }
  void SetDetalharCfopPorSufixo(bool v) { FDetalharCfopPorSufixo = v; }

 private:
  void ValidarIntervalo();
  // The day the establishment started its activity; 0 when it is not recorded.
  TDateTime InicioAtividade();
  void VerificarDados();

  bool FContabilizar = false;
  TDateTime FDataFim = 0, FDataInicio = 0;
  TFilial FFilial;
  std::unique_ptr<TResumos> FResumos;
  bool FDetalharCfopPorSufixo = false;
  int FCalculados = 0;  // summaries of the list calculated (and recorded) by CalcularResumos
};
