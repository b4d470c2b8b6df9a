#include "relatorio/extrato.h"

#include <sstream>

#include "apuracao/apuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "regimes/subtrib/apuracaosubtrib.h"

namespace {
std::string Valor(Currency v) { return texto::PreencherEsquerda(FormatarValor(v), 16); }

void Linhas(std::ostringstream& o, const char* titulo, TResumoCampos& campos) {
  o << "  " << titulo << "\n";
  for (int i = 0; i < campos.Count(); ++i) {
    TResumoCampo* c = campos.GetItem(i);
    o << "    " << Format("%3s", {std::to_string(c->GetCodigo())}) << " "
      << texto::PreencherDireita(texto::Copiar(c->GetDescricao(), 1, 60), 60)
      << " sinal " << Format("%2s", {std::to_string(c->GetSinal())}) << Valor(c->GetTotal()) << "\n";
    for (int k = 0; k < c->GetDetalhamentos().Count(); ++k) {
      TDetalhamento* d = c->GetDetalhamentos().GetItem(k);
      std::string t = (d->GetCodigo().empty() ? "" : d->GetCodigo() + " - ") +
                      (d->GetData() > 0 ? DataBR(d->GetData()) + " - " : "") + d->GetDescricao();
      o << "          " << texto::PreencherDireita(texto::Copiar(t, 1, 66), 66) << Valor(d->GetValor()) << "\n";
    }
  }
  o << "    Registro (" << campos.GetRegistros().Count() << " CFOP): imposto" << Valor(campos.GetRegistros().GetTotalImposto()) << "\n";
}
}  // namespace

std::string ExtratoResumo(TResumo& r) {
  std::ostringstream o;
  o << "== " << ClasseTipoResumo(r.GetTipoResumo()) << " (" << NomeTipoResumo(r.GetTipoResumo()) << ") imposto "
    << r.GetCodImposto() << " - " << r.GetFilial().UF;
  if (auto* st = dynamic_cast<TResumoST*>(&r))
    o << " / ST " << st->GetUF() << " inscrição " << (st->GetInscrEst().empty() ? "(sem inscrição: GNRE)" : st->GetInscrEst());
  o << " - período " << DataBR(r.GetDataInicio()) << " a " << DataBR(r.GetDataFim()) << "\n";
  Linhas(o, "Débitos", r.GetDebito());
  Linhas(o, "Créditos", r.GetCredito());
  Linhas(o, "Saldos", r.GetSaldo());
  TCodigoRecolhimento c = r.GetCodigoRecolhimento();
  o << "  Soma dos débitos:  " << Valor(r.GetSomaDebito()) << "\n"
    << "  Soma dos créditos: " << Valor(r.GetSomaCredito()) << "\n"
    << "  Saldo devedor:     " << Valor(r.GetSaldoDevedor()) << "\n"
    << "  Saldo credor:      " << Valor(r.GetSaldoCredor()) << "\n"
    << "  Imposto a recolher:" << Valor(r.GetImpostoARecolher()) << "\n"
    << "  Código de recolhimento: " << (c.Codigo.empty() ? "(nenhum)" : c.Codigo)
    << "  Vencimento: " << (c.Vencimento > 0 ? DataBR(c.Vencimento) : "-") << "\n";
  return o.str();
}

std::string ExtratoApuracao(TApuracao& a) {
  std::ostringstream o;
  const TFilial& f = a.GetFilial();
  o << "Apuração do ICMS - estabelecimento " << f.IdFilial << " - " << f.RazaoSocial << " (" << f.UF << ") - "
    << DataBR(a.GetDataInicio()) << " a " << DataBR(a.GetDataFim()) << "\n";
  TResumos& rs = a.GetResumos();
  if (rs.Count() == 0) o << "Nenhum período completo no intervalo: nada foi apurado.\n";
  for (int i = 0; i < rs.Count(); ++i) o << "\n" << ExtratoResumo(*rs.GetItem(i));
  return o.str();
}
