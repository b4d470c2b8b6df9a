#include "app/livro-icms/lote.h"

#include <algorithm>
#include <filesystem>

#include "app/livro-icms/livro.h"
#include "apuracao/apuracao.h"
#include "forms/form58140.h"
#include "host/banco/motor.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/normal/apuracaonormalrs.h"

namespace fs = std::filesystem;

namespace {

// Tax due summed over the periods, the credit balance of the last period of each tax.
void Totalizar(TApuracao& a, TResultadoFilial& r) {
  TResumos& resumos = a.GetResumos();
  r.Resumos = resumos.Count();
  for (int i = 0; i < resumos.Count(); ++i) {
    TResumo* s = resumos.GetItem(i);
    auto it = std::find_if(r.Impostos.begin(), r.Impostos.end(),
                           [&](const auto& x) { return x.Codigo == s->GetCodImposto(); });
    if (it == r.Impostos.end()) it = r.Impostos.insert(r.Impostos.end(), {s->GetCodImposto(), {}, {}});
    it->ARecolher += s->GetImpostoARecolher();
    it->SaldoCredor = s->GetSaldoCredor();
  }
}

bool Secao(const std::string& linha, int64_t& id) {
  if (linha.size() < 3 || linha.front() != '[' || linha.back() != ']') return false;
  const std::string dentro = texto::Aparar(linha.substr(1, linha.size() - 2));
  if (dentro.size() < 8 || NormalizarLegenda(dentro.substr(0, 6)) != "FILIAL") return false;
  const std::string numero = texto::Aparar(dentro.substr(6));
  if (numero.empty() || numero.find_first_not_of("0123456789") != std::string::npos) return false;
  id = std::stoll(numero);
  return true;
}

// A date as the file names carry it: 20260131.
std::string DataArquivo(TDateTime d) {
  std::string s = DataISO(d);
  s.erase(std::remove(s.begin(), s.end(), '-'), s.end());
  return s;
}

void Imprimir(const TOpcoesLote& o, const TIntervalo& datas, const TFilialLote& f, TResultadoFilial& r) {
  TOpcoesImpressao imp;
  imp.IdFilial = f.Id;
  imp.Inicio = o.Inicio;
  imp.Fim = o.Fim;
  imp.Impostos = o.Impostos;
  imp.Contabilizar = o.Contabilizar;
  const std::string base =
      (fs::path(o.Livros) / ("livro-" + std::to_string(f.Id) + "-" + DataArquivo(datas.Inicio) + "-" + DataArquivo(datas.Fim)))
          .string();
  imp.Saidas = {base + ".pdf", base + ".txt"};
  std::string txt, pdf;
  VerificarSaidas(imp.Saidas, txt, pdf);
  const TLivroImpresso livro = ImprimirPeloFormulario(imp, TOpcoesPagina{}, txt, pdf, [&](TApuracao& a) { Totalizar(a, r); });
  if (livro.Resumos > 0 && !livro.Impresso)
    r.Erro = "A impressão não pôde ser iniciada (arquivo de saída); a apuração foi gravada, o livro não.";
  else
    r.Apurado = true;
}

std::vector<std::string> Campos(const std::string& linha) {
  std::vector<std::string> r;
  size_t ini = 0;
  for (size_t p; (p = linha.find('\t', ini)) != std::string::npos; ini = p + 1) r.push_back(Desescapar(linha.substr(ini, p - ini)));
  r.push_back(Desescapar(linha.substr(ini)));
  return r;
}

}  // namespace

TRespostasLote::TRespostasLote(const std::string& arquivo) {
  if (arquivo.empty()) return;
  const TInteracaoRoteirizada lidas = TInteracaoRoteirizada::DeArquivo(arquivo);
  std::vector<std::string>* atual = &comuns_;
  for (const std::string& r : lidas.Respostas()) {
    int64_t id = 0;
    if (Secao(r, id)) atual = &secoes_[id];
    else atual->push_back(r);
  }
}

TInteracaoRoteirizada TRespostasLote::Para(int64_t idFilial) const {
  auto it = secoes_.find(idFilial);
  return TInteracaoRoteirizada(it == secoes_.end() ? comuns_ : it->second);
}

// The establishments of a company share the corporate name: the trade name tells them apart.
std::vector<TFilialLote> EstabelecimentosDoLote(TQDConnection& c, int64_t idEmpresa, TDateTime fim) {
  banco::TComando q(c.Db(),
                    "SELECT IDFILIAL, COALESCE(NULLIF(NOMEFANTASIA, ''), NOME), IDEMPRESA FROM SC00_FILIAL WHERE (?1 = 0 OR IDEMPRESA = ?1)"
                    " AND (INICIOATIVIDADE IS NULL OR INICIOATIVIDADE = '' OR INICIOATIVIDADE <= ?2) ORDER BY IDFILIAL");
  banco::Vincular(q, idEmpresa, DataISO(fim));
  std::vector<TFilialLote> r;
  while (q.executeStep()) r.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getString(), q.getColumn(2).getInt64()});
  return r;
}

TResultadoFilial ApurarFilialDoLote(TQDConnection& c, const TOpcoesLote& o, const TIntervalo& datas,
                                    const TRespostasLote& respostas, const TFilialLote& f) {
  TResultadoFilial r;
  r.Filial = f;
  TInteracaoRoteirizada interacao = respostas.Para(f.Id);
  GPostergarImposto = piPerguntar;
  try {
    THost host(c, interacao);
    if (o.Livros.empty()) {
      TPedidoApuracao pedido;
      pedido.IdFilial = f.Id;
      pedido.DataInicio = o.Inicio;
      pedido.DataFim = o.Fim;
      pedido.Impostos = o.Impostos;
      pedido.Contabilizar = o.Contabilizar;
      TExecucaoApuracao execucao(c, pedido);
      execucao.Calcular();
      Totalizar(execucao.Apuracao(), r);
      r.Apurado = true;
    } else {
      Imprimir(o, datas, f, r);
    }
  } catch (const EAbortarSilencioso&) {
    r.Erro = "Apuração interrompida pelo usuário (aborted by the user).";
  } catch (const ECampoInvalido& e) {
    // The form has shown its message: it is the last one recorded.
    r.Erro = interacao.Registro().empty() ? std::string(e.what()) : interacao.Registro().back();
  } catch (const EBancoOcupado& e) {
    r.Erro = e.what();
    r.Interrompido = true;
  } catch (const std::exception& e) {
    r.Erro = e.what();
  }
  r.Mensagens = interacao.Registro();
  return r;
}

std::string Escapar(const std::string& s) {
  std::string r;
  for (char ch : s) {
    switch (ch) {
      case '\\': r += "\\\\"; break;
      case '\t': r += "\\t"; break;
      case '\n': r += "\\n"; break;
      case '\r': r += "\\r"; break;
      default: r += ch;
    }
  }
  return r;
}

std::string Desescapar(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      r += s[i];
      continue;
    }
    const char ch = s[++i];
    r += ch == 't' ? '\t' : ch == 'n' ? '\n' : ch == 'r' ? '\r' : ch;
  }
  return r;
}

std::string LinhasDoResultado(const TResultadoFilial& r) {
  std::string s = "R\t" + std::to_string(r.Filial.Id) + "\t" + Escapar(r.Filial.Nome) + "\t" + (r.Apurado ? "1" : "0") + "\t" +
                  (r.Interrompido ? "1" : "0") + "\t" + std::to_string(r.Resumos) + "\t" + Escapar(r.Erro) + "\n";
  for (const auto& i : r.Impostos)
    s += "I\t" + Escapar(i.Codigo) + "\t" + std::to_string(i.ARecolher.Raw()) + "\t" + std::to_string(i.SaldoCredor.Raw()) + "\n";
  for (const auto& m : r.Mensagens) s += "M\t" + Escapar(m) + "\n";
  return s + "F\n";
}

bool LerLinhaDoResultado(const std::string& linha, TResultadoFilial& r) {
  const std::vector<std::string> c = Campos(linha);
  if (c[0] == "F") return true;
  if (c[0] == "R" && c.size() == 7) {
    r.Filial = {std::stoll(c[1]), c[2], 0};
    r.Apurado = c[3] == "1";
    r.Interrompido = c[4] == "1";
    r.Resumos = std::stoi(c[5]);
    r.Erro = c[6];
  } else if (c[0] == "I" && c.size() == 4) {
    r.Impostos.push_back({c[1], Currency::FromRaw(std::stoll(c[2])), Currency::FromRaw(std::stoll(c[3]))});
  } else if (c[0] == "M" && c.size() == 2) {
    r.Mensagens.push_back(c[1]);
  } else {
    throw std::runtime_error("Linha inesperada de um processo de trabalho do lote: " + linha.substr(0, 80));
  }
  return false;
}
