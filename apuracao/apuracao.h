#pragma once
// The settlement run of one establishment over a date interval: loads the summary list, calculates
// every summary in list order and, when asked, hands the interval to accounting posting.
#include <memory>

#include "apuracao/resumo.h"
#include "apuracao/resumos.h"

class TApuracao {
 public:
  TApuracao();
  void CalcularApuracao();

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
  bool FContabilizar = false;
  TDateTime FDataFim = 0, FDataInicio = 0;
  TFilial FFilial;
  std::unique_ptr<TResumos> FResumos;
  bool FDetalharCfopPorSufixo = false;
};
