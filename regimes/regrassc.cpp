// The Santa Catarina payment document's fields shared by the SC summaries: agreement, class and
// periodicity code, and the tax record that carries them.
#include "regimes/regrassc.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/sqlregimes.h"

namespace regrassc {

bool ClasseExigeAcordo(const std::string& classe) {
  return classe == "10243" || classe == "10294" || classe == "10197";
}

std::string CodigoApuracao(TPeriodicidade p) {
  switch (p) {
    case periodicidade::Decendial: return "1";
    case periodicidade::Quinzenal: return "2";
    case 6: return "5";
    case periodicidade::Anual: return "4";
    default: return "3";  // monthly, and every other periodicity the document does not tell apart
  }
}

std::string NumeroAcordoDoPeriodoOuAnterior(TResumo& r) {
  const TFilial& f = r.GetFilial();
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlAcordoAnterior, {std::to_string(f.IdEmpresa), std::to_string(f.IdFilial),
                                       texto::QuotedStr(r.GetCodigoRecolhimento().Codigo),
                                       TFormPrincipal::DataSQL(r.GetDataFim())}));
  q.Open();
  return q.Eof() ? std::string() : q.FieldByName("CONTEUDO").AsString();
}

void GravarImpostoComAcordo(TResumo& r, const std::string& acordo) {
  const TFilial& f = r.GetFilial();
  const TCodigoRecolhimento c = r.GetCodigoRecolhimento();
  GFuncoes->GravarImposto(f.IdEmpresa, f.IdFilial, r.GetCodImposto(), c.Codigo, r.GetDataInicio(), r.GetDataFim(),
                          c.Vencimento, r.GetImpostoARecolher(), {"CLASSEVCTO", "ACORDO", "APURACAO"},
                          {c.Codigo1, acordo, CodigoApuracao(r.GetPeriodicidade())});
}

}  // namespace regrassc
