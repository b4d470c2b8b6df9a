// The summary's data classes and its balance arithmetic.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "apuracao/resumos.h"
#include "regimes/fabricaresumos.h"
#include "regimes/normal/apuracaonormal.h"

namespace {
Currency R(double v) { return Currency::FromDouble(v); }

void Detalhe(TResumoCampo* c, double v, const std::string& codigo = "") {
  auto* d = c->GetDetalhamentos().Add();
  d->SetValor(R(v));
  d->SetCodigo(codigo);
}

TRegistro* Reg(TRegistros& rs, const std::string& cfop, double imposto) {
  TRegistro* r = rs.Add();
  r->SetCFOP(cfop);
  r->SetImposto(R(imposto));
  r->SetValorContabil(R(imposto * 10));
  return r;
}
}  // namespace

TEST(DadosDoResumo, SomasDeRegistroPorGrupo) {
  TRegistros rs;
  EXPECT_EQ(rs.GetTotalImposto(), Currency());
  auto vazio = rs.GetSoma();
  EXPECT_EQ(vazio->GetDescricaoCFOP(), "TOTAIS");
  EXPECT_EQ(vazio->GetCFOP(), "");
  EXPECT_EQ(vazio->GetValorContabil(), Currency());

  Reg(rs, "5.102", 18);
  Reg(rs, "6.102", 12);
  Reg(rs, "5.405.001", 1.5);
  auto g5 = rs.GetSoma("5");
  EXPECT_EQ(g5->GetCFOP(), "5.000");
  EXPECT_EQ(g5->GetDescricaoCFOP(), "PARA O ESTADO");
  EXPECT_EQ(g5->GetImposto(), R(19.5));
  EXPECT_EQ(g5->GetValorContabil(), R(195));
  EXPECT_EQ(rs.GetSoma("2")->GetDescricaoCFOP(), "DE OUTROS ESTADOS");
  EXPECT_EQ(rs.GetSoma("4")->GetDescricaoCFOP(), "");
  EXPECT_EQ(rs.GetSoma("x")->GetDescricaoCFOP(), "");
  EXPECT_EQ(rs.GetSoma()->GetImposto(), R(31.5));
  EXPECT_EQ(rs.Locate("6.102")->GetImposto(), R(12));
  EXPECT_EQ(rs.Locate("6.10"), nullptr);
  // a summary that assigns the tax-total method replaces the sum of the lines
  rs.TotalImposto = [] { return R(7); };
  EXPECT_EQ(rs.GetTotalImposto(), R(7));
}

TEST(DadosDoResumo, LinhasComSinalEDetalhes) {
  TResumoCampos campos;
  TResumoCampo* c = campos.Add();
  c->SetCodigo(12);
  c->SetSinal(-1);
  Detalhe(c, 100, "A");
  Detalhe(c, 50, "B");
  EXPECT_EQ(c->GetTotal(), R(-150));
  EXPECT_EQ(c->GetDetalhamentos().IndexOf("B"), 1);
  EXPECT_EQ(c->GetDetalhamentos().IndexOf("b"), -1);
  EXPECT_EQ(c->GetDetalhamentos().Locate("C"), nullptr);
  TResumoCampo* zero = campos.Add();
  zero->SetCodigo(14);
  Detalhe(zero, 999);
  EXPECT_EQ(zero->GetTotal(), Currency());  // sign 0 counts nothing
  Reg(campos.GetRegistros(), "1.102", 10);
  EXPECT_EQ(campos.GetTotal(), R(-140));
  EXPECT_EQ(campos.Locate(14), zero);
  EXPECT_EQ(campos.Locate(13), nullptr);
}

namespace {
// A summary with lines given by the test and nothing read from the database.
class ResumoFixo : public TResumoNormal {
 public:
  void Debito(double v) { Linha(GetDebito(), 2, v, 1); }
  void Credito(double v) { Linha(GetCredito(), 6, v, 1); }
  void Deducao(double v) { Linha(GetSaldo(), 12, v, -1); }
  static void Linha(TResumoCampos& l, int codigo, double v, int8_t sinal) {
    TResumoCampo* c = l.Locate(codigo);
    if (!c) {
      c = l.Add();
      c->SetCodigo(codigo);
      c->SetSinal(sinal);
    }
    Detalhe(c, v);
  }
};

class ResumoComDebitoExtra : public ResumoFixo {
 public:
  Currency GetSomaDebito() override { return ResumoFixo::GetSomaDebito() + R(1000); }
};
}  // namespace

TEST(SaldosDoResumo, DevedorCredorEImpostoARecolher) {
  ResumoFixo a;
  a.Debito(1000);
  a.Credito(1200);
  EXPECT_EQ(a.GetSaldoDevedor(), Currency());
  EXPECT_EQ(a.GetSaldoCredor(), R(200));
  EXPECT_EQ(a.GetImpostoARecolher(), Currency());

  ResumoFixo b;
  b.Debito(1000);
  b.Credito(400);
  b.Deducao(100);
  EXPECT_EQ(b.GetSaldoDevedor(), R(600));
  EXPECT_EQ(b.GetImpostoARecolher(), R(500));

  // balances reach each other through the virtual slots
  ResumoComDebitoExtra c;
  c.Debito(1000);
  c.Credito(1200);
  EXPECT_EQ(c.GetSaldoDevedor(), R(800));
  EXPECT_EQ(c.GetImpostoARecolher(), R(800));
  EXPECT_EQ(c.GetSaldoCredor(), Currency());
}

namespace {
class FuncoesContadas : public TApuracaoFuncoes {
 public:
  using TApuracaoFuncoes::TApuracaoFuncoes;
  TPeriodicidade GetPeriodicidadeICMS(int64_t id, TDateTime d) override {
    ++chamadas;
    return TApuracaoFuncoes::GetPeriodicidadeICMS(id, d);
  }
  int chamadas = 0;
};
}  // namespace

class ResumoComHost : public AmbienteTeste {};

TEST_F(ResumoComHost, PeriodicidadePerguntadaUmaVez) {
  auto f = std::make_unique<FuncoesContadas>(*conexao_);
  FuncoesContadas* contadas = f.get();
  host_->SetFuncoes(std::move(f));
  TResumoNormal r;
  r.SetFilial(GFuncoes->GetDadosFilial(1));
  r.SetDataInicio(EncodeDate(2026, 1, 1));
  EXPECT_EQ(r.GetPeriodicidade(), periodicidade::Mensal);
  EXPECT_EQ(r.GetPeriodicidade(), periodicidade::Mensal);
  EXPECT_EQ(contadas->chamadas, 1);
}

TEST_F(ResumoComHost, TiposDeResumoDaLista) {
  TResumos rs(CriarResumo);
  EXPECT_EQ(rs.Add(trInvalid), nullptr);
  EXPECT_EQ(rs.Add(static_cast<TTipoResumo>(17)), nullptr);
  EXPECT_EQ(rs.Add(trNormal)->GetTipoResumo(), trNormal);
  EXPECT_EQ(rs.Add(trNormal)->GetCodImposto(), "2001");
  TResumo* st = rs.Add(trSubstTrib);
  EXPECT_EQ(st->GetTipoResumo(), trSubstTrib);
  EXPECT_EQ(st->GetTpImposto(), 3);
  EXPECT_TRUE(st->GetSolicitarDadosAcessorios());
  EXPECT_FALSE(st->GetDeveCalcularCIAP());
  for (TTipoResumo sc : {trNormalSC, trEstimativaSC, trBaresSC, trSubstTribSC, trSimplesSC})
    EXPECT_EQ(rs.Add(sc)->GetTipoResumo(), sc);
  EXPECT_THROW(rs.Add(trNormalPR), ETipoResumoIndisponivel);
  EXPECT_EQ(rs.Count(), 8);
}
