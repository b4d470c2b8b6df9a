// The period walk of every periodicity: contiguous periods covering the year, each recognised as a
// period start by DecPeriodo, sub-monthly ones closing on the month's last day.
#include <gtest/gtest.h>

#include <map>

#include "host/servicos/periodos.h"

namespace {
TDateTime D(int a, int m, int d) { return EncodeDate(a, m, d); }
}  // namespace

TEST(Periodos, CadaPeriodicidadeCobreOAnoSemLacunas) {
  for (TPeriodicidade p : {periodicidade::Diaria, periodicidade::Quinquidial, periodicidade::Semanal,
                           periodicidade::Decendial, periodicidade::Quinzenal, periodicidade::Mensal,
                           periodicidade::Bimestral, periodicidade::Trimestral, periodicidade::Semestral,
                           periodicidade::Anual}) {
    SCOPED_TRACE(NomePeriodicidade(p));
    int periodos = 0;
    TDateTime ini = D(2024, 1, 1);
    while (ini <= D(2024, 12, 31)) {
      TDateTime fim = IncPeriodo(ini, p);
      ASSERT_GE(fim, ini);
      EXPECT_EQ(DecPeriodo(fim, p), ini);
      EXPECT_EQ(IncPeriodo(fim, p), fim);
      if (p <= periodicidade::Quinzenal) {
        EXPECT_EQ(DecodeDate(ini).mes, DecodeDate(fim).mes);
      }
      ini = fim + 1;
      ++periodos;
    }
    EXPECT_EQ(ini, D(2025, 1, 1));
    const std::map<TPeriodicidade, int> esperado = {{periodicidade::Diaria, 366}, {periodicidade::Quinquidial, 72},
                                                    {periodicidade::Semanal, 48}, {periodicidade::Decendial, 36},
                                                    {periodicidade::Quinzenal, 24}, {periodicidade::Mensal, 12},
                                                    {periodicidade::Bimestral, 6}, {periodicidade::Trimestral, 4},
                                                    {periodicidade::Semestral, 2}, {periodicidade::Anual, 1}};
    EXPECT_EQ(periodos, esperado.at(p));
  }
}

TEST(Periodos, SubmensaisTerminamNoUltimoDiaDoMes) {
  EXPECT_EQ(IncPeriodo(D(2026, 2, 16), periodicidade::Quinzenal), D(2026, 2, 28));
  EXPECT_EQ(IncPeriodo(D(2026, 2, 1), periodicidade::Quinzenal), D(2026, 2, 15));
  EXPECT_EQ(IncPeriodo(D(2026, 1, 21), periodicidade::Decendial), D(2026, 1, 31));
  EXPECT_EQ(IncPeriodo(D(2026, 1, 22), periodicidade::Semanal), D(2026, 1, 31));
  EXPECT_EQ(IncPeriodo(D(2026, 2, 26), periodicidade::Quinquidial), D(2026, 2, 28));
  EXPECT_EQ(DecPeriodo(D(2026, 1, 31), periodicidade::Decendial), D(2026, 1, 21));
}

TEST(Periodos, DataNoMeioDoPeriodoNaoEInicio) {
  // what the ST walk relies on to skip ICMS periods that do not start an ST period
  TDateTime fev = D(2026, 2, 1);
  EXPECT_NE(DecPeriodo(IncPeriodo(fev, periodicidade::Trimestral), periodicidade::Trimestral), fev);
  EXPECT_EQ(IncPeriodo(D(2026, 4, 1), periodicidade::Trimestral), D(2026, 6, 30));
  EXPECT_EQ(IncPeriodo(D(2026, 11, 5), periodicidade::Bimestral), D(2026, 12, 31));
}

TEST(Periodos, PeriodicidadeInvalidaEErroClaro) {
  EXPECT_THROW(IncPeriodo(D(2026, 1, 1), 0), std::invalid_argument);
  EXPECT_THROW(DecPeriodo(D(2026, 1, 1), 6), std::invalid_argument);
  EXPECT_FALSE(PeriodicidadeValida(12));
}
