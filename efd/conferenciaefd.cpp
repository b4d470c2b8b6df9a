#include "efd/conferenciaefd.h"

#include <map>
#include <set>
#include <tuple>

#include "host/base/formatacao.h"
#include "host/base/texto.h"

namespace efd {

namespace {

std::string Coluna(const std::string& s, size_t largura) { return texto::PreencherEsquerda(s, largura); }

// One table: the fields `de`..15 of both sides.
void Tabela(std::string& t, int& diferencas, const std::string& titulo, const TCamposApuracao* cliente,
            const TCamposApuracao* livro, size_t de, const char* (*nome)(size_t)) {
  t += titulo;
  if (!cliente) t += " (ausente no arquivo)";
  if (!livro) t += " (não apurado no livro)";
  t += "\n" + texto::PreencherDireita("Campo", 34) + Coluna("Cliente", 18) + Coluna("Livro", 18) +
       Coluna("Diferença", 18) + "\n";
  for (size_t n = de; n <= 15; ++n) {
    const Currency c = cliente ? (*cliente)[n] : Currency(), l = livro ? (*livro)[n] : Currency();
    std::string linha = texto::PreencherDireita(FormatarZeros(static_cast<int64_t>(n), 2) + " " + nome(n), 34) +
                        Coluna(FormatarValor(c), 18) + Coluna(FormatarValor(l), 18);
    if (c != l) {
      linha += Coluna(FormatarValor(c - l), 18) + "  <==";
      ++diferencas;
    }
    t += linha + "\n";
  }
  t += "\n";
}

}  // namespace

TConferencia ConferirBlocoE(const TArquivoEFD& cliente, const TBlocoE& nosso) {
  TConferencia r;
  std::map<std::pair<TDateTime, TDateTime>, const TApuracaoICMSEFD*> deles, nossos;
  for (const auto& p : cliente.ApuracoesICMS)
    if (p.TemE110) deles[{p.Inicio, p.Fim}] = &p;
  for (const auto& p : nosso.ICMS) nossos[{p.Inicio, p.Fim}] = &p;
  std::set<std::pair<TDateTime, TDateTime>> periodos;
  for (const auto& [k, v] : deles) periodos.insert(k);
  for (const auto& [k, v] : nossos) periodos.insert(k);
  for (const auto& k : periodos) {
    const auto* c = deles.count(k) ? &deles[k]->E110 : nullptr;
    const auto* l = nossos.count(k) ? &nossos[k]->E110 : nullptr;
    Tabela(r.Texto, r.Diferencas, "ICMS de " + DataBR(k.first) + " a " + DataBR(k.second) + " (E110)", c, l, 2,
           NomeCampoE110);
  }

  using TChaveST = std::tuple<std::string, TDateTime, TDateTime>;
  std::map<TChaveST, const TApuracaoSTEFD*> delesST, nossosST;
  for (const auto& p : cliente.ApuracoesST)
    if (p.TemE210) delesST[{p.UF, p.Inicio, p.Fim}] = &p;
  for (const auto& p : nosso.ST) nossosST[{p.UF, p.Inicio, p.Fim}] = &p;
  std::set<TChaveST> chaves;
  for (const auto& [k, v] : delesST) chaves.insert(k);
  for (const auto& [k, v] : nossosST) chaves.insert(k);
  for (const auto& k : chaves) {
    const auto* c = delesST.count(k) ? &delesST[k]->E210 : nullptr;
    const auto* l = nossosST.count(k) ? &nossosST[k]->E210 : nullptr;
    Tabela(r.Texto, r.Diferencas,
           "ICMS-ST " + std::get<0>(k) + " de " + DataBR(std::get<1>(k)) + " a " + DataBR(std::get<2>(k)) + " (E210)", c,
           l, 3, NomeCampoE210);
  }
  for (const auto& a : nosso.Avisos) r.Texto += "Aviso: " + a + "\n";
  r.Texto += r.Diferencas == 0 ? "O bloco E do arquivo confere com a apuração do livro.\n"
                               : std::to_string(r.Diferencas) + (r.Diferencas == 1 ? " campo difere" : " campos diferem") +
                                     " entre o arquivo e a apuração do livro.\n";
  return r;
}

}  // namespace efd
