// The regular regime of SC: the agreement proposed and confirmed, the tax recorded with the payment
// document's fields, the guides of the recorded class.
#include "regimes/normal/apuracaonormalsc.h"

#include "host/host.h"
#include "regimes/normal/dadosauxsc.h"
#include "regimes/regrassc.h"
#include "regimes/sqlregimes.h"

TTipoResumo TResumoNormalSC::GetTipoResumo() const { return trNormalSC; }

void TResumoNormalSC::CalcularApuracaoAntes() {
  FTemAcordo = regrassc::ClasseExigeAcordo(GetCodigoRecolhimento().Codigo1);
  BuscaDadosAuxiliares();
}

void TResumoNormalSC::CalcularApuracaoDepois() {}

void TResumoNormalSC::BuscaDadosAuxiliares() { FAcordo = GetNumeroAcordoDoPeriodoOuAnterior(); }

std::string TResumoNormalSC::GetNumeroAcordoDoPeriodoOuAnterior() { return regrassc::NumeroAcordoDoPeriodoOuAnterior(*this); }

void TResumoNormalSC::ChamarFormDadosAcessorios() {
  if (!FSolicitarDadosAcessorios || !FTemAcordo) return;
  TFormDadosAuxSC form;
  form.edtAcordo.Visible = true;
  form.edtDeducao.Visible = false;
  form.PreencheCampos(FAcordo, Currency());
  form.ShowModal();
  // The agreement is the field's text whatever the answer. A dialog of this program that is
  // cancelled leaves its fields as they were, so cancelling keeps the agreement proposed.
  FAcordo = form.edtAcordo.Texto;
}

void TResumoNormalSC::GravarSaldoDevedor() { regrassc::GravarImpostoComAcordo(*this, FAcordo); }

void TResumoNormalSC::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasDoPeriodo(kSqlGuiasClasseVcto, FFilial.UF, linha, imprimir);
  ImprimirDebitosEspecificos(linha, imprimir);
}
