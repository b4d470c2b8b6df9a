#include "dialogoservidor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>

#include "host/banco/motor.h"

namespace {
constexpr const char* kChave = "servidor/endereco";
}

TDialogoServidor::TDialogoServidor(QWidget* pai) : QDialog(pai) {
  setObjectName("DialogoServidor");
  setWindowTitle("Abrir escritório no servidor");
  endereco_ = new QLineEdit(QSettings().value(kChave).toString());
  endereco_->setObjectName("edtEndereco");
  endereco_->setPlaceholderText("postgresql://usuario@servidor/escritorio");
  endereco_->setMinimumWidth(420);
  senha_ = new QLineEdit;
  senha_->setObjectName("edtSenha");
  senha_->setEchoMode(QLineEdit::Password);
  senha_->setPlaceholderText("vazia: a do arquivo ~/.pgpass, ou nenhuma");
  auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(botoes, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* forma = new QFormLayout(this);
  forma->addRow(new QLabel("O escritório num servidor PostgreSQL, conectado com o seu papel (usuário)."));
  forma->addRow("&Endereço:", endereco_);
  forma->addRow("&Senha:", senha_);
  forma->addRow(botoes);
  if (!endereco_->text().isEmpty()) senha_->setFocus();
}

QString TDialogoServidor::Endereco() const {
  return QString::fromStdString(banco::TBanco::SemSenha(endereco_->text().trimmed().toStdString(), ""));
}

QString TDialogoServidor::Alvo() const {
  const QString uri = endereco_->text().trimmed();
  if (senha_->text().isEmpty()) return uri;
  const QString semSenha = Endereco();
  if (!semSenha.contains("//")) return uri;  // postgresql: alone: the PG* variables give everything
  return semSenha + (semSenha.contains('?') ? "&" : "?") + "password=" +
         QString::fromLatin1(QUrl::toPercentEncoding(senha_->text()));
}

void TDialogoServidor::accept() {
  if (!banco::TBanco::EhServidor(endereco_->text().trimmed().toStdString())) {
    QMessageBox::warning(this, "Aviso",
                         "Informe o endereço do servidor como postgresql://usuario@servidor/escritorio "
                         "(ou postgresql: para as variáveis PG*). Um arquivo SQLite se abre em Abrir escritório...");
    endereco_->setFocus();
    return;
  }
  QSettings().setValue(kChave, Endereco());
  QDialog::accept();
}
