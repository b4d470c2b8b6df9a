#include "dialogoprogresso.h"

#include <QApplication>

#include "apuracao/resumo.h"
#include "host/interacao/interacao.h"

TDialogoProgresso::TDialogoProgresso(QWidget* pai) : QProgressDialog(pai) {
  setObjectName("dlgProgresso");
  setWindowTitle("Apuração do ICMS");
  setCancelButtonText("&Cancelar");
  setWindowModality(Qt::ApplicationModal);
  setMinimumDuration(0);
  setAutoClose(false);
  setAutoReset(false);
  setMinimumWidth(460);
}

void TDialogoProgresso::AntesDeCalcular(const TResumo& resumo, int indice, int quantidade) {
  if (wasCanceled()) throw EAbortarSilencioso();
  const TFilial& f = resumo.GetFilial();
  setLabelText(QString("Apurando o estabelecimento %1 - %2 (%3)\nImposto %4, período de %5 a %6\n%7 de %8")
                   .arg(f.IdFilial)
                   .arg(QString::fromStdString(f.NomeFantasia.empty() ? f.RazaoSocial : f.NomeFantasia),
                        QString::fromStdString(f.UF), QString::fromStdString(resumo.GetCodImposto()),
                        QString::fromStdString(DataBR(resumo.GetDataInicio())),
                        QString::fromStdString(DataBR(resumo.GetDataFim())))
                   .arg(indice + 1)
                   .arg(quantidade));
  setMaximum(quantidade);
  setValue(indice);
  show();
  // The run holds the event loop: let the label paint and the cancel button be pressed.
  QApplication::processEvents();
  if (wasCanceled()) throw EAbortarSilencioso();
}
