#include "apuracao/apuracao.h"

#include "host/host.h"

TApuracao::TApuracao() : FResumos(std::make_unique<TResumos>()) {}

void TApuracao::SetFilial(int64_t idFilial) { FFilial = GFuncoes->GetDadosFilial(idFilial); }

void TApuracao::CalcularApuracao() {
  FResumos->Load(FFilial, FDataInicio, FDataFim);
  for (int i = 0; i < FResumos->Count(); ++i) {
    TResumo* r = FResumos->GetItem(i);
    r->SetDetalharCfopPorSufixo(FDetalharCfopPorSufixo);
    r->CalcularApuracao();
  }
  if (FContabilizar && FResumos->GetDataSetImpostos()) {
    TContabilizacoes c(GUtilSistema->GetConnectionSistema());
    c.ContabilizaIntervaloEmpresas(FFilial.CodigoEmpresa, FFilial.CodigoEmpresa, FDataInicio, FDataFim,
                                   *FResumos->GetDataSetImpostos());
  }
}
