// The batch: the establishments to settle, each one's run under a host of its own, and the table
// of what each left.
#include "app/livro-icms/comandolote.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <vector>

#include "host/banco/motor.h"

#include "app/livro-icms/livro.h"
#include "app/livro-icms/progresso.h"
#include "apuracao/apuracao.h"
#include "forms/form58140.h"
#include "forms/pedidoapuracao.h"
#include "host/banco/acesso.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "regimes/normal/apuracaonormalrs.h"

namespace fs = std::filesystem;

namespace {

struct TFilialLote {
  int64_t Id = 0;
  std::string Nome;
};

// What one establishment's run left: the tax due and the credit carried of each tax, in the order
// the run settled them, or the error that stopped it; the messages it showed.
struct TResultadoFilial {
  TFilialLote Filial;
  bool Apurado = false;
  std::string Erro;
  int Resumos = 0;
  struct TImposto {
    std::string Codigo;
    Currency ARecolher, SaldoCredor;
  };
  std::vector<TImposto> Impostos;
  std::vector<std::string> Mensagens;
};

// The establishments active in the interval, of one company or of all, by their trade names (the
// establishments of a company share the corporate name).
std::vector<TFilialLote> Estabelecimentos(TQDConnection& c, int64_t idEmpresa, TDateTime fim) {
  banco::TComando q(c.Db(),
                      "SELECT IDFILIAL, COALESCE(NULLIF(NOMEFANTASIA, ''), NOME) FROM SC00_FILIAL WHERE (?1 = 0 OR IDEMPRESA = ?1)"
                      " AND (INICIOATIVIDADE IS NULL OR INICIOATIVIDADE = '' OR INICIOATIVIDADE <= ?2) ORDER BY IDFILIAL");
  banco::Vincular(q, idEmpresa, DataISO(fim));
  std::vector<TFilialLote> r;
  while (q.executeStep()) r.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getString()});
  return r;
}

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

// The answers file of a batch: the lines before the first section answer every establishment; a
// section "[filial N]" holds the answers of establishment N alone, in place of those.
class TRespostasLote {
 public:
  explicit TRespostasLote(const std::string& arquivo) {
    if (arquivo.empty()) return;
    const TInteracaoRoteirizada lidas = TInteracaoRoteirizada::DeArquivo(arquivo);
    std::vector<std::string>* atual = &comuns_;
    for (const std::string& r : lidas.Respostas()) {
      int64_t id = 0;
      if (Secao(r, id)) atual = &secoes_[id];
      else atual->push_back(r);
    }
  }
  TInteracaoRoteirizada Para(int64_t idFilial) const {
    auto it = secoes_.find(idFilial);
    return TInteracaoRoteirizada(it == secoes_.end() ? comuns_ : it->second);
  }

 private:
  static bool Secao(const std::string& linha, int64_t& id) {
    if (linha.size() < 3 || linha.front() != '[' || linha.back() != ']') return false;
    const std::string dentro = texto::Aparar(linha.substr(1, linha.size() - 2));
    if (dentro.size() < 8 || NormalizarLegenda(dentro.substr(0, 6)) != "FILIAL") return false;
    const std::string numero = texto::Aparar(dentro.substr(6));
    if (numero.empty() || numero.find_first_not_of("0123456789") != std::string::npos) return false;
    id = std::stoll(numero);
    return true;
  }
  std::vector<std::string> comuns_;
  std::map<int64_t, std::vector<std::string>> secoes_;
};

std::string UmaLinha(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

// A date as the file names carry it: 20260131.
std::string DataArquivo(TDateTime d) {
  std::string s = DataISO(d);
  s.erase(std::remove(s.begin(), s.end(), '-'), s.end());
  return s;
}

std::string Coluna(const std::string& s, size_t largura, bool direita = false) {
  const std::string t = texto::Copiar(s, 1, largura);
  return direita ? texto::PreencherEsquerda(t, largura) : texto::PreencherDireita(t, largura);
}

}  // namespace

TComandoLote::TComandoLote(CLI::App& app) {
  lote_ = app.add_subcommand("lote",
                             "Apura (e imprime) todos os estabelecimentos ativos no intervalo, ou os de uma empresa, "
                             "numa só execução: cada um como o apurar o apuraria sozinho.");
  lote_->add_option("--db", banco_, "Arquivo do banco de dados.")->required();
  lote_->add_option("--inicio", inicio_, "Data inicial (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  lote_->add_option("--fim", fim_, "Data final (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  lote_->add_option("--empresa", empresa_, "Código (IDEMPRESA) da empresa: só os estabelecimentos dela.")
      ->check(CLI::PositiveNumber);
  lote_->add_option("--impostos", impostos_,
                    "Impostos: todos (padrão), icms, icms-st ou lista de códigos separados por vírgula (ex.: 2001,4019).");
  lote_->add_flag("--contabilizar", contabilizar_, "Contabiliza os valores apurados no intervalo.");
  lote_->add_option("--livros", livros_,
                    "Pasta onde gravar o livro de cada estabelecimento, em PDF e texto "
                    "(livro-IDFILIAL-AAAAMMDD-AAAAMMDD.pdf/.txt; a pasta é criada quando falta).");
  lote_->add_option("--respostas", respostas_,
                    "Arquivo de respostas às perguntas e diálogos da apuração: as linhas antes da primeira seção "
                    "[filial N] respondem a cada estabelecimento desde o início; a seção [filial N], só ao N.");
}

bool TComandoLote::Executar(int& codigo) {
  if (!lote_->parsed()) return false;
  codigo = Lote();
  return true;
}

int TComandoLote::Lote() {
  const auto inicioLote = std::chrono::steady_clock::now();
  const TIntervalo datas = ValidarDatas(inicio_, fim_);
  const TRespostasLote respostas(respostas_);
  if (!livros_.empty()) {
    std::error_code ec;
    fs::create_directories(livros_, ec);
    if (!fs::is_directory(livros_)) throw std::runtime_error("Não é possível criar a pasta dos livros: " + livros_);
  }
  auto conexao = TQDConnection::Abrir(banco_);
  const std::vector<TFilialLote> filiais = Estabelecimentos(*conexao, empresa_, datas.Fim);
  if (filiais.empty())
    throw std::runtime_error("Nenhum estabelecimento ativo até " + DataBR(datas.Fim) +
                             (empresa_ ? " na empresa " + std::to_string(empresa_) +
                                             banco::SemAcessoDoPapel(*conexao, "a empresa " + std::to_string(empresa_))
                                       : std::string()) +
                             ".");

  std::vector<TResultadoFilial> resultados;
  std::optional<std::string> interrompido;
  {
    TBarraProgresso barra("Apurando");
    for (const TFilialLote& f : filiais) {
      barra.Atualizar(static_cast<int64_t>(resultados.size()), static_cast<int64_t>(filiais.size()),
                      "filial " + std::to_string(f.Id) + " " + texto::Copiar(f.Nome, 1, 30));
      TResultadoFilial& r = resultados.emplace_back();
      r.Filial = f;
      // A fresh start for each establishment: its own answers from the first, the policy of
      // postponing small taxes asked again, its own host services over the shared connection.
      TInteracaoRoteirizada interacao = respostas.Para(f.Id);
      GPostergarImposto = piPerguntar;
      THost host(*conexao, interacao);
      try {
        if (livros_.empty()) {
          TPedidoApuracao pedido;
          pedido.IdFilial = f.Id;
          pedido.DataInicio = inicio_;
          pedido.DataFim = fim_;
          pedido.Impostos = impostos_;
          pedido.Contabilizar = contabilizar_;
          TExecucaoApuracao execucao(*conexao, pedido);
          execucao.Calcular();
          Totalizar(execucao.Apuracao(), r);
          r.Apurado = true;
        } else {
          TOpcoesImpressao o;
          o.IdFilial = f.Id;
          o.Inicio = inicio_;
          o.Fim = fim_;
          o.Impostos = impostos_;
          o.Contabilizar = contabilizar_;
          const std::string base = (fs::path(livros_) / ("livro-" + std::to_string(f.Id) + "-" +
                                                         DataArquivo(datas.Inicio) + "-" + DataArquivo(datas.Fim)))
                                       .string();
          o.Saidas = {base + ".pdf", base + ".txt"};
          std::string txt, pdf;
          VerificarSaidas(o.Saidas, txt, pdf);
          const TLivroImpresso livro =
              ImprimirPeloFormulario(o, TOpcoesPagina{}, txt, pdf, [&](TApuracao& a) { Totalizar(a, r); });
          if (livro.Resumos > 0 && !livro.Impresso)
            r.Erro = "A impressão não pôde ser iniciada (arquivo de saída); a apuração foi gravada, o livro não.";
          else
            r.Apurado = true;
        }
      } catch (const EAbortarSilencioso&) {
        r.Erro = "Apuração interrompida pelo usuário (aborted by the user).";
      } catch (const ECampoInvalido& e) {
        // The form has shown its message: it is the last one recorded.
        r.Erro = interacao.Registro().empty() ? std::string(e.what()) : interacao.Registro().back();
      } catch (const EBancoOcupado& e) {
        r.Erro = e.what();
        interrompido = "O banco de dados ficou bloqueado por outro programa: os estabelecimentos seguintes não foram "
                       "apurados.";
      } catch (const std::exception& e) {
        r.Erro = e.what();
      }
      r.Mensagens = interacao.Registro();
      if (interrompido) break;
    }
    barra.Atualizar(static_cast<int64_t>(filiais.size()), static_cast<int64_t>(filiais.size()));
  }
  const double segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicioLote).count();

  // The table: one line per tax of each establishment, the errors after it.
  const size_t apurados = static_cast<size_t>(
      std::count_if(resultados.begin(), resultados.end(), [](const auto& r) { return r.Apurado; }));
  char tempo[32];
  std::snprintf(tempo, sizeof tempo, "%.1f", segundos);
  std::replace(std::begin(tempo), std::end(tempo), '.', ',');
  std::cout << "Lote de " << DataBR(datas.Inicio) << " a " << DataBR(datas.Fim) << ": " << filiais.size()
            << " estabelecimento(s) em " << tempo << " s; " << apurados << " apurado(s)"
            << (apurados < filiais.size() ? ", " + std::to_string(filiais.size() - apurados) + " não" : std::string())
            << ".\n\n";
  std::cout << "Filial  " << Coluna("Estabelecimento", 32) << "  Imposto  " << Coluna("A recolher", 16, true) << "  "
            << Coluna("Saldo credor", 16, true) << "  Avisos\n";
  for (const TResultadoFilial& r : resultados) {
    std::cout << texto::PreencherEsquerda(std::to_string(r.Filial.Id), 6) << "  " << Coluna(r.Filial.Nome, 32) << "  ";
    const std::string avisos = texto::PreencherEsquerda(std::to_string(r.Mensagens.size()), 6);
    if (!r.Apurado) {
      std::cout << Coluna("ERRO (abaixo)", 45) << "  " << avisos << "\n";
      continue;
    }
    if (r.Impostos.empty()) {
      std::cout << Coluna("nenhum período completo no intervalo", 45) << "  " << avisos << "\n";
      continue;
    }
    for (size_t i = 0; i < r.Impostos.size(); ++i) {
      const auto& imp = r.Impostos[i];
      if (i > 0) std::cout << std::string(8 + 32 + 2, ' ');
      std::cout << Coluna(imp.Codigo, 7) << "  " << Coluna(FormatarValor(imp.ARecolher), 16, true) << "  "
                << Coluna(FormatarValor(imp.SaldoCredor), 16, true) << (i == 0 ? "  " + avisos : std::string()) << "\n";
    }
  }
  bool titulo = false;
  for (const TResultadoFilial& r : resultados) {
    if (r.Mensagens.empty()) continue;
    if (!titulo) std::cout << "\nMensagens das apurações:\n";
    titulo = true;
    std::cout << "  filial " << r.Filial.Id << " - " << r.Filial.Nome << "\n";
    for (const auto& m : r.Mensagens) std::cout << "    " << UmaLinha(m) << "\n";
  }
  titulo = false;
  for (const TResultadoFilial& r : resultados) {
    if (r.Apurado) continue;
    if (!titulo) std::cerr << "\nEstabelecimentos não apurados:\n";
    titulo = true;
    std::cerr << "  filial " << r.Filial.Id << " - " << r.Filial.Nome << ": " << UmaLinha(r.Erro) << "\n";
  }
  if (interrompido) std::cerr << *interrompido << "\n";
  if (!livros_.empty()) std::cout << "\nLivros gravados em " << livros_ << " (PDF e texto de cada estabelecimento apurado).\n";
  return apurados == filiais.size() ? 0 : 5;
}
