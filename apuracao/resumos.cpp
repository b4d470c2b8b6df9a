#include "apuracao/resumos.h"

#include "host/host.h"

TResumo* TResumos::Add(TTipoResumo tipo) {
  std::unique_ptr<TResumo> r = FFabrica(tipo);
  if (!r) return nullptr;
  FItens.push_back(std::move(r));
  return FItens.back().get();
}

TResumo* TResumos::Add(const TFilial& filial, TDateTime dataInicio, TDateTime dataFim, TTipoResumo tipo) {
  TResumo* r = Add(tipo);
  if (r) {
    r->SetDataInicio(dataInicio);
    r->SetDataFim(dataFim);
    r->SetFilial(filial);
  }
  return r;
}

TTipoResumo TResumos::TipoNormal(const TFilial& filial, TTipoEnquadramento enq, uint8_t regimeSC) const {
  const std::string& uf = filial.UF;
  if (uf == "RS") return enq < 2 ? trSimplesNovoRS : enq == 2 ? trNormalRS : trInvalid;
  if (uf == "SC") {
    switch (regimeSC) {
      case 0: return trSimplesSC;
      case 1: return trNormalSC;
      case 2: return trBaresSC;
      case 4: return trEstimativaSC;
      default: return trInvalid;
    }
  }
  if (uf == "PR") return enq < 2 ? trSimplesPR : trNormalPR;
  if (uf == "RN") return enq < 2 ? trSimplesRN : trNormal;
  if (uf == "MA") return trNormalMA;
  if (uf == "PA") return trNormalPA;
  if (uf == "SE") return trNormalSE;
  return trNormal;
}

void TResumos::Load(const TFilial& filial, TDateTime dataInicio, TDateTime dataFim) {
  if (!FDataSetImpostos) throw std::logic_error("TResumos.Load sem o conjunto de impostos selecionados");
  TQDClientDataSet& impostos = *FDataSetImpostos;
  impostos.SetFiltered(false);
  impostos.SetFilter("MARCADO = 1");
  impostos.SetFiltered(true);
  const TDateTime simplesNacional = EncodeDate(2007, 7, 1);
  FFimApurado = 0;
  for (TDateTime ini = dataInicio; ini < dataFim;) {
    TPeriodicidade p = GFuncoes->GetPeriodicidadeICMS(filial.IdFilial, ini);
    TDateTime fim = GFuncoes->IncPeriodo(ini, p);
    if (fim > dataFim) break;  // only whole periods are settled
    FFimApurado = fim;
    TTipoEnquadramento enq = GFuncoes->GetEnquadramentoFilial(filial, ini, fim);
    TApuracaoCentralizada forma = GFuncoes->GetFormaApuracao(filial, ini, ini);
    const std::string aviso = "A partir de 01/07/2007 entra em vigor o Simples Nacional,portanto \ro ICMS de " +
                              DataBR(ini) + " a " + DataBR(fim) + " será apurado como regime normal.";
    if (impostos.Locate("CODIGO", {std::string("20")}, true)) {
      if (enq < 2 && ini >= simplesNacional && filial.UF != "SC") {
        QDInterface->ExibirMensagem(aviso, 2);
        enq = 2;
        forma.TipoApuracao = 0;
      }
      uint8_t regimeSC = 0;
      if (filial.UF == "SC") {
        regimeSC = GFuncoes->GetRegimeApuracaoSC(filial, ini, fim);
        if (regimeSC == 0 && ini >= simplesNacional) {
          QDInterface->ExibirMensagem(aviso, 2);
          regimeSC = 1;
          forma.TipoApuracao = 0;
        }
      }
      if (TResumo* r = Add(filial, ini, fim, TipoNormal(filial, enq, regimeSC))) {
        r->SetPeriodicidade(p);
        r->SetDeveCalcularCIAP(FCalcularCIAP);
        r->SetSolicitarDadosAcessorios(FSolicitarDadosAcessorios);
        r->SetFormaApuracao(forma);
        r->SetEnquadramento(enq);
      }
    }
    if (impostos.Locate("CODIGO", {std::string("40")}, true)) AddSubstTrib(filial, ini, fim, p, forma);
    ini = fim + 1;
  }
}

void TResumos::AddSubstTrib(const TFilial& filial, TDateTime ini, TDateTime fim, TPeriodicidade p,
                            const TApuracaoCentralizada& forma) {
  TQDClientDataSet& impostos = *FDataSetImpostos;
  const TInscricoesST inscricoes = GFuncoes->GetInscricoesST(filial, ini, fim, forma.TipoApuracao);
  for (const auto& insc : inscricoes) {
    const std::string codST = GFuncoes->GetCodigoICMSST(insc.UF);
    if (codST.empty() || !impostos.Locate("CODIGO", {codST}, false)) continue;
    for (TDateTime s = ini; s < fim;) {
      TPeriodicidade ps = insc.Periodicidade != 0 ? insc.Periodicidade : p;
      TDateTime fimS = GFuncoes->IncPeriodo(s, ps);
      if (GFuncoes->DecPeriodo(fimS, ps) != s) {  // s does not start an ST period
        s = fimS + 1;
        continue;
      }
      TTipoResumo tipo = insc.UF == "RS" ? trSubstTribRS : insc.UF == "SC" ? trSubstTribSC : trSubstTrib;
      if (TResumo* st = Add(filial, s, fimS, tipo)) {
        if (auto* inscricao = dynamic_cast<TResumoInscricaoST*>(st)) {
          inscricao->SetUF(insc.UF);
          inscricao->SetInscrEst(insc.InscrEst);
        }
        st->SetCodImposto(codST);
        st->SetPeriodicidade(ps);
        if (insc.IdCodigoRec > 0) st->SetCodigoRecolhimento(GFuncoes->GetCodigoRecolhimentoByID(insc.IdCodigoRec));
        st->SetFormaApuracao(forma);
      }
      s = fimS + 1;
    }
  }
}
