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

// The sums of a register, of all lines and of a CFOP group (18 + 1.5 of the 5s, 12 of the 6).
TEST(DadosDoResumo, SomasDeRegistroPorGrupoELinhasComSinal) {
  TRegistros rs;
  EXPECT_EQ(rs.GetTotalImposto(), Currency());
  EXPECT_EQ(rs.GetSoma()->GetValorContabil(), Currency());
  Reg(rs, "5.102", 18);
  Reg(rs, "6.102", 12);
  Reg(rs, "5.405.001", 1.5);
  auto g5 = rs.GetSoma("5");
  EXPECT_EQ(g5->GetCFOP(), "5.000");
  EXPECT_EQ(g5->GetDescricaoCFOP(), "PARA O ESTADO");
  // the caption goes by the group's number ("05" is 5); a group that is not a whole number has none
  EXPECT_EQ(rs.GetSoma("05")->GetDescricaoCFOP(), "PARA O ESTADO");
  EXPECT_EQ(rs.GetSoma("5.")->GetDescricaoCFOP(), "");
  EXPECT_EQ(rs.GetSoma("x")->GetDescricaoCFOP(), "");
  EXPECT_EQ(g5->GetImposto(), R(19.5));
  EXPECT_EQ(g5->GetValorContabil(), R(195));
  EXPECT_EQ(rs.GetSoma()->GetImposto(), R(31.5));
  EXPECT_EQ(rs.Locate("6.102")->GetImposto(), R(12));
  EXPECT_EQ(rs.Locate("6.10"), nullptr);
  // a summary that assigns the tax-total method replaces the sum of the lines
  rs.TotalImposto = [] { return R(7); };
  EXPECT_EQ(rs.GetTotalImposto(), R(7));

  // A line counts its details with its sign; the lines and the register add up.
  TResumoCampos campos;
  TResumoCampo* c = campos.Add();
  c->SetCodigo(12);
  c->SetSinal(-1);
  Detalhe(c, 100, "A");
  Detalhe(c, 50, "B");
  EXPECT_EQ(c->GetTotal(), R(-150));
  EXPECT_EQ(c->GetDetalhamentos().IndexOf("B"), 1);
  EXPECT_EQ(c->GetDetalhamentos().IndexOf("b"), -1);
  EXPECT_EQ(c->GetDetalhamentos().Locate("A"), c->GetDetalhamentos().GetItem(0));
  EXPECT_EQ(c->GetDetalhamentos().Locate("b"), nullptr);
  TResumoCampo* zero = campos.Add();
  zero->SetCodigo(14);
  Detalhe(zero, 999);
  EXPECT_EQ(zero->GetTotal(), Currency());  // sign 0 counts nothing
  Reg(campos.GetRegistros(), "1.102", 10);
  EXPECT_EQ(campos.GetTotal(), R(-140));
  EXPECT_EQ(campos.Locate(14), zero);
}

namespace {
// A summary with lines given by the test and nothing read from the database.
class ResumoFixo : public TResumoNormal {
 public:
  // Line 002 (other debits), 006 (other credits) and 012 (deductions, sign -1).
  void Lancar(double debito, double credito, double deducao = 0) {
    Linha(GetDebito(), 2, debito, 1);
    Linha(GetCredito(), 6, credito, 1);
    Linha(GetSaldo(), 12, deducao, -1);
  }
  static void Linha(TResumoCampos& l, int codigo, double v, int8_t sinal) {
    TResumoCampo* c = l.Add();
    c->SetCodigo(codigo);
    c->SetSinal(sinal);
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
  a.Lancar(1000, 1200);
  EXPECT_EQ(a.GetSaldoDevedor(), Currency());
  EXPECT_EQ(a.GetSaldoCredor(), R(200));
  EXPECT_EQ(a.GetImpostoARecolher(), Currency());

  ResumoFixo b;
  b.Lancar(1000, 400, 100);
  EXPECT_EQ(b.GetSaldoDevedor(), R(600));
  EXPECT_EQ(b.GetImpostoARecolher(), R(500));

  // balances reach each other through the virtual slots
  ResumoComDebitoExtra c;
  c.Lancar(1000, 1200);
  EXPECT_EQ(c.GetSaldoDevedor(), R(800));
  EXPECT_EQ(c.GetImpostoARecolher(), R(800));
  EXPECT_EQ(c.GetSaldoCredor(), Currency());
}

class ResumoComHost : public AmbienteTeste {};

TEST_F(ResumoComHost, TiposDeResumoDaLista) {
  TResumos rs(CriarResumo);
  EXPECT_EQ(rs.Add(trInvalid), nullptr);
  EXPECT_EQ(rs.Add(static_cast<TTipoResumo>(17)), nullptr);
  EXPECT_EQ(rs.Add(trNormal)->GetTipoResumo(), trNormal);
  EXPECT_EQ(rs.Add(trNormal)->GetCodImposto(), "2001");
  TResumo* st = rs.Add(trSubstTrib);
  EXPECT_EQ(st->GetTipoResumo(), trSubstTrib);
  EXPECT_EQ(st->GetTpImposto(), 3);
  // every type the run can choose has its summary class; those of PR, MA, PA and SE report the
  // generic regular type
  for (int t = trNormal; t <= trNormalSE; ++t) {
    const auto tipo = static_cast<TTipoResumo>(t);
    const bool comoNormal = tipo == trNormalPR || tipo == trNormalMA || tipo == trNormalPA || tipo == trNormalSE;
    EXPECT_EQ(NomeTipoResumo(rs.Add(tipo)->GetTipoResumo()), NomeTipoResumo(comoNormal ? trNormal : tipo));
  }
}
