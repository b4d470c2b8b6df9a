#include "host/banco/bloqueio.h"

#include "host/banco/conexao.h"
#include "host/banco/motor.h"

namespace banco {

namespace {

// The first keys of the program's locks, so that they meet no other program's on the server: the
// settlement of an establishment and the numbering of its books.
constexpr int64_t kClasse = 0x4C49;           // "LI"
constexpr int64_t kClasseNumeracao = 0x4C4E;  // "LN"

}  // namespace

TBloqueioEstabelecimento::TBloqueioEstabelecimento(TQDConnection& conexao, int64_t idFilial)
    : conexao_(conexao), idFilial_(idFilial) {
  if (conexao_.Db().Dialeto() != TDialeto::PostgreSQL) return;
  try {
    TComando q(conexao_.Db(), "SELECT pg_try_advisory_lock(CAST(? AS INTEGER), CAST(? AS INTEGER))");
    q.bind(1, kClasse);
    q.bind(2, idFilial_);
    preso_ = q.executeStep() && q.getColumn(0).getInt64() == 1;
    if (preso_) return;
    TComando quem(conexao_.Db(),
                  "SELECT A.USENAME, A.APPLICATION_NAME, COALESCE(A.CLIENT_HOSTNAME, CAST(A.CLIENT_ADDR AS TEXT), 'este servidor')"
                  " FROM PG_LOCKS L JOIN PG_STAT_ACTIVITY A ON (A.PID = L.PID) WHERE L.LOCKTYPE = 'advisory'"
                  " AND L.GRANTED AND L.CLASSID = CAST(? AS INTEGER) AND L.OBJID = CAST(? AS INTEGER) LIMIT 1");
    quem.bind(1, kClasse);
    quem.bind(2, idFilial_);
    const std::string dono = quem.executeStep() ? quem.getColumn(0).getString() + " (" + quem.getColumn(1).getString() +
                                                      ", " + quem.getColumn(2).getString() + ")"
                                                : "outra conexão";
    throw EBancoOcupado("O estabelecimento de IDFILIAL " + std::to_string(idFilial_) + " está sendo apurado por " + dono +
                        "; espere essa apuração terminar e tente de novo. Nada foi gravado.");
  } catch (const EMotor& e) {
    LancarErroBanco(e, std::string("Reserva do estabelecimento para a apuração: ") + e.what());
  }
}

TBloqueioEstabelecimento::~TBloqueioEstabelecimento() {
  if (!preso_) return;
  try {
    TComando q(conexao_.Db(), "SELECT pg_advisory_unlock(CAST(? AS INTEGER), CAST(? AS INTEGER))");
    q.bind(1, kClasse);
    q.bind(2, idFilial_);
    q.executeStep();
  } catch (...) {  // never throw from a destructor: the server frees it with the session
  }
}

void ReservarNumeracao(TQDConnection& conexao, int64_t idFilial) {
  if (conexao.Db().Dialeto() != TDialeto::PostgreSQL) return;
  try {
    TComando q(conexao.Db(), "SELECT pg_advisory_xact_lock(CAST(? AS INTEGER), CAST(? AS INTEGER))");
    q.bind(1, kClasseNumeracao);
    q.bind(2, idFilial);
    q.executeStep();
  } catch (const EMotor& e) {
    LancarErroBanco(e, std::string("Reserva da numeração do livro: ") + e.what());
  }
}

}  // namespace banco
