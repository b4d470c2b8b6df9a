#pragma once
// The generator of large bookkeeping databases for the benchmarks, and for the tests that hold the
// program's faster query forms against the texts they stand for on data of a realistic shape.
//
// Establishments in São Paulo/SP (monthly periodicity, regular regime, ICMS-ST inscriptions in RJ
// with a number and in MG without one), about a hundred CFOPs with suffixes, 2,000 participants in
// several states, entry and exit documents of 2025 adding up to about the items asked for (40%
// entries, 60% exits, 1 to 8 items a document), user settlement entries every month, payment codes,
// configuration rows and GNRE guides for most MG exits with ICMS-ST. Ten establishments make a
// company unless asked otherwise. The data is fixed by a seed: the same options always give the
// same rows.
#include <cstdint>
#include <iosfwd>

namespace banco { class TBanco; }

namespace gerador {

struct TOpcoes {
  int64_t Itens = 1'000'000;  // document items of all establishments
  int Filiais = 1;            // establishments (IDFILIAL 1..N), the items split evenly
  int Meses = 12;             // months of 2025 with documents and entries, from January
  int FiliaisPorEmpresa = 10; // establishments of a company, the first its head office
};

struct TResumo {
  int Municipios = 0, Cfops = 0, Participantes = 0;
  int64_t DocumentosEntrada = 0, ItensEntrada = 0, DocumentosSaida = 0, ItensSaida = 0;
  int64_t ItensDebitoST = 0, ItensCreditoST = 0, GuiasGNRE = 0, Lancamentos = 0;
  void Escrever(std::ostream& os, const TOpcoes& o) const;
};

// Fills a new database (schema only) with the office described; the caller gives the transaction.
TResumo Gerar(banco::TBanco& db, const TOpcoes& o);

}  // namespace gerador
