#include "app/livro-icms/loteprocessos.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/livro-icms/progresso.h"
#include "host/banco/conexao.h"
#include "host/base/texto.h"

extern char** environ;

namespace {

// Where a worker writes its results: its standard output is not the batch's (the settlement may
// write there), its standard error is, for what a dying process prints.
constexpr int kResultados = 3;

bool EscreverTudo(int fd, const std::string& s) {
  for (size_t feito = 0; feito < s.size();) {
    const ssize_t n = ::write(fd, s.data() + feito, s.size() - feito);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    feito += static_cast<size_t>(n);
  }
  return true;
}

// A pipe whose ends are far from the standard descriptors and close in the workers started
// later: each worker keeps only the two ends placed for it.
void Cano(int fds[2]) {
  int c[2];
  if (::pipe2(c, O_CLOEXEC) != 0) throw std::runtime_error(std::string("Não foi possível criar um canal: ") + std::strerror(errno));
  for (int i = 0; i < 2; ++i) {
    fds[i] = ::fcntl(c[i], F_DUPFD_CLOEXEC, 10);
    ::close(c[i]);
  }
}

std::string Executavel() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) throw std::runtime_error("Não foi possível localizar o próprio programa para iniciar os processos do lote.");
  return std::string(buf, static_cast<size_t>(n));
}

std::string ComoTerminou(int estado) {
  if (WIFEXITED(estado)) return "terminou com o código " + std::to_string(WEXITSTATUS(estado));
  if (WIFSIGNALED(estado)) return "foi encerrado pelo sinal " + std::to_string(WTERMSIG(estado)) + " (" + strsignal(WTERMSIG(estado)) + ")";
  return "terminou";
}

struct TTrabalhador {
  int Indice = 0;
  pid_t Pid = -1;
  int Pedidos = -1;    // our end of its standard input: the establishments to settle
  int Respostas = -1;  // our end of its descriptor 3: the results
  std::string Lido;    // what was read after the last whole line
  std::optional<size_t> Atual;  // the establishment it holds, by position in the batch
  std::deque<size_t> Fila;      // the rest of the company it took
  TResultadoFilial Parcial;
  std::string Falha;  // what it reported before ending

  std::string Nome(int total) const { return "O processo " + std::to_string(Indice) + " de " + std::to_string(total) + " do lote"; }
};

void Iniciar(TTrabalhador& t, const TOpcoesLote& o, int total) {
  std::vector<std::string> args = {Executavel(), "lote", "--db", o.Banco, "--inicio", o.Inicio, "--fim", o.Fim,
                                   "--impostos", o.Impostos, "--trabalhador", std::to_string(t.Indice) + "/" + std::to_string(total)};
  if (o.Contabilizar) args.push_back("--contabilizar");
  for (const auto& [opcao, valor] : {std::pair{"--livros", o.Livros}, {"--respostas", o.Respostas}})
    if (!valor.empty()) args.insert(args.end(), {opcao, valor});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int pedidos[2], respostas[2];
  Cano(pedidos);
  Cano(respostas);
  posix_spawn_file_actions_t acoes;
  posix_spawn_file_actions_init(&acoes);
  posix_spawn_file_actions_adddup2(&acoes, pedidos[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&acoes, respostas[1], kResultados);
  posix_spawn_file_actions_addopen(&acoes, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const int erro = posix_spawn(&t.Pid, argv[0], &acoes, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acoes);
  ::close(pedidos[0]);
  ::close(respostas[1]);
  t.Pedidos = pedidos[1];
  t.Respostas = respostas[0];
  if (erro != 0) {
    ::close(t.Pedidos);
    ::close(t.Respostas);
    throw std::runtime_error("Não foi possível iniciar os processos do lote: " + std::string(std::strerror(erro)));
  }
}

class TDistribuicao {
 public:
  // Companies with more establishments first, so that the last one taken is a short one.
  TDistribuicao(const std::vector<TFilialLote>& filiais, int processos)
      : filiais_(filiais), resultados_(filiais.size()), total_(processos) {
    std::map<int64_t, size_t> grupo;
    for (size_t i = 0; i < filiais.size(); ++i) {
      auto [it, novo] = grupo.emplace(filiais[i].IdEmpresa, empresas_.size());
      if (novo) empresas_.emplace_back();
      empresas_[it->second].push_back(i);
    }
    std::stable_sort(empresas_.begin(), empresas_.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
  }

  std::vector<TResultadoFilial> Executar(const TOpcoesLote& o) {
    ::signal(SIGPIPE, SIG_IGN);  // a worker that died is seen by its closed results, not by a signal
    std::vector<TTrabalhador> ts(static_cast<size_t>(total_));
    for (size_t i = 0; i < ts.size(); ++i) {
      ts[i].Indice = static_cast<int>(i) + 1;
      Iniciar(ts[i], o, total_);
      Entregar(ts[i]);
    }
    TBarraProgresso barra("Apurando");
    for (size_t vivos = ts.size(); vivos > 0;) {
      barra.Atualizar(static_cast<int64_t>(feitos_), static_cast<int64_t>(filiais_.size()), detalhe_);
      std::vector<pollfd> fds;
      std::vector<TTrabalhador*> deles;
      for (auto& t : ts)
        if (t.Respostas >= 0) {
          fds.push_back({t.Respostas, POLLIN, 0});
          deles.push_back(&t);
        }
      // A quarter of a second at most, so that the bar's clock goes on while every worker is busy.
      if (::poll(fds.data(), fds.size(), 250) < 0) {
        if (errno == EINTR) continue;
        throw std::runtime_error(std::string("Falha ao esperar os processos do lote: ") + std::strerror(errno));
      }
      for (size_t k = 0; k < fds.size(); ++k)
        if (fds[k].revents && !Ler(*deles[k])) {
          Encerrar(*deles[k]);
          --vivos;
        }
    }
    barra.Atualizar(static_cast<int64_t>(filiais_.size()), static_cast<int64_t>(filiais_.size()));
    std::vector<TResultadoFilial> r;
    for (size_t i = 0; i < filiais_.size(); ++i) {
      if (resultados_[i]) {
        r.push_back(std::move(*resultados_[i]));
      } else if (!parar_) {
        TResultadoFilial falta;
        falta.Filial = filiais_[i];
        falta.Erro = "Não foi apurado: nenhum processo do lote restou para apurá-lo.";
        r.push_back(std::move(falta));
      }
    }
    return r;
  }

 private:
  // The next establishment of the worker's company, or of the next company nobody took; the end of
  // its input when none is left. A company's establishments stay with one worker, in IDFILIAL
  // order, as the serial batch takes them: one's settlement may rewrite another's records (the RS
  // small business settles its company's ICMS-ST; a centraliser reads its centralised ones).
  void Entregar(TTrabalhador& t) {
    if (t.Fila.empty() && !parar_ && proxima_ < empresas_.size()) {
      const std::vector<size_t>& empresa = empresas_[proxima_++];
      t.Fila.assign(empresa.begin(), empresa.end());
    }
    if (!parar_ && !t.Fila.empty()) {
      const TFilialLote& f = filiais_[t.Fila.front()];
      if (EscreverTudo(t.Pedidos, std::to_string(f.Id) + "\t" + Escapar(f.Nome) + "\n")) {
        t.Atual = t.Fila.front();
        t.Fila.pop_front();
        detalhe_ = "filial " + std::to_string(f.Id) + " " + texto::Copiar(f.Nome, 1, 30);
        return;
      }
    }
    ::close(t.Pedidos);
    t.Pedidos = -1;
  }

  // Reads what the worker wrote; false when its results ended (it finished or died).
  bool Ler(TTrabalhador& t) {
    char buf[8192];
    const ssize_t n = ::read(t.Respostas, buf, sizeof buf);
    if (n < 0 && errno == EINTR) return true;
    if (n <= 0) return false;
    t.Lido.append(buf, static_cast<size_t>(n));
    for (size_t p; (p = t.Lido.find('\n')) != std::string::npos;) {
      const std::string linha = t.Lido.substr(0, p);
      t.Lido.erase(0, p + 1);
      if (linha.rfind("E\t", 0) == 0) {
        t.Falha = Desescapar(linha.substr(2));
        continue;
      }
      try {
        if (!t.Atual || !LerLinhaDoResultado(linha, t.Parcial)) continue;
      } catch (const std::exception& e) {
        t.Falha = e.what();
        ::kill(t.Pid, SIGKILL);
        return false;
      }
      if (t.Parcial.Interrompido) parar_ = true;
      resultados_[*t.Atual] = std::move(t.Parcial);
      t.Parcial = {};
      t.Atual.reset();
      ++feitos_;
      Entregar(t);
    }
    return true;
  }

  // The worker's end: the establishment it held gets the reason.
  void Encerrar(TTrabalhador& t) {
    ::close(t.Respostas);
    t.Respostas = -1;
    if (t.Pedidos >= 0) ::close(t.Pedidos);
    t.Pedidos = -1;
    int estado = 0;
    while (::waitpid(t.Pid, &estado, 0) < 0 && errno == EINTR) {
    }
    // The rest of its company waits for a worker that is still asking.
    if (!t.Fila.empty()) empresas_.emplace_back(t.Fila.begin(), t.Fila.end());
    t.Fila.clear();
    if (!t.Atual) return;
    TResultadoFilial r;
    r.Filial = filiais_[*t.Atual];
    r.Erro = t.Nome(total_) + " " + ComoTerminou(estado) + " sem concluir este estabelecimento" +
             (t.Falha.empty() ? std::string(".") : ": " + t.Falha);
    resultados_[*t.Atual] = std::move(r);
    t.Atual.reset();
    ++feitos_;
  }

  const std::vector<TFilialLote>& filiais_;
  std::vector<std::vector<size_t>> empresas_;  // positions of each company's establishments
  std::vector<std::optional<TResultadoFilial>> resultados_;
  int total_;
  size_t proxima_ = 0, feitos_ = 0;
  bool parar_ = false;
  std::string detalhe_;
};

}  // namespace

std::vector<TResultadoFilial> ApurarEmProcessos(const TOpcoesLote& o, const std::vector<TFilialLote>& filiais,
                                                int processos) {
  return TDistribuicao(filiais, processos).Executar(o);
}

int TrabalhadorDoLote(const TOpcoesLote& o, const TIntervalo& datas) {
  std::unique_ptr<TQDConnection> conexao;
  std::optional<TRespostasLote> respostas;
  try {
    respostas.emplace(o.Respostas);
    conexao = TQDConnection::Abrir(o.Banco);
  } catch (const std::exception& e) {
    EscreverTudo(kResultados, "E\t" + Escapar(e.what()) + "\n");
    return 1;
  }
  for (std::string linha; std::getline(std::cin, linha);) {
    const size_t tab = linha.find('\t');
    TFilialLote f{std::stoll(linha.substr(0, tab)), tab == std::string::npos ? std::string() : Desescapar(linha.substr(tab + 1))};
    const TResultadoFilial r = ApurarFilialDoLote(*conexao, o, datas, *respostas, f);
    if (!EscreverTudo(kResultados, LinhasDoResultado(r))) return 1;
    if (r.Interrompido) return 0;
  }
  return 0;
}
