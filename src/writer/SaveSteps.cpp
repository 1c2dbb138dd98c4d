#include "writer/SaveSteps.h"

#include "writer/SaveError.h"

#include <cerrno>
#include <utility>

namespace sapidoro {

namespace {

FaultInjector &Injector() {
    static FaultInjector injector;
    return injector;
}

const char *StepText(SaveStep step) {
    switch (step) {
        case SaveStep::Lock:
            return "blocco della cartella";
        case SaveStep::Open:
            return "apertura del file";
        case SaveStep::CreateTemp:
            return "creazione del file temporaneo";
        case SaveStep::Write:
            return "scrittura del file temporaneo";
        case SaveStep::Sync:
            return "scrittura su disco del file temporaneo";
        case SaveStep::Permissions:
            return "copia dei permessi";
        case SaveStep::ReadBack:
            return "rilettura del file scritto";
        case SaveStep::Backup:
            return "copia della versione precedente";
        case SaveStep::Rename:
            return "sostituzione del file";
        case SaveStep::SyncFolder:
            return "scrittura su disco della cartella";
    }
    return "salvataggio";
}

}  // namespace

std::string ReasonText(int error) {
    switch (error) {
        case ENOSPC:
            return "il disco è pieno";
        case EDQUOT:
            return "lo spazio concesso sul disco (quota) è esaurito";
        case EROFS:
            return "il disco è di sola lettura";
        case EACCES:
        case EPERM:
            return "permesso negato";
        case EIO:
            return "errore di lettura o scrittura del disco";
        case EFBIG:
            return "il file è troppo grande";
        case ENOENT:
            return "il file non esiste";
        default:
            return "errore di sistema " + std::to_string(error);
    }
}

void SetFaultInjector(FaultInjector injector) {
    Injector() = std::move(injector);
}

int InjectedFault(SaveStep step, int count) {
    const FaultInjector &injector = Injector();
    return injector ? injector(step, count) : 0;
}

void ThrowStepFailure(SaveStep step, int error, const std::string &fileName) {
    throw ESaveRefused(fileName + " non è stato salvato (" + StepText(step) +
                       "): " + ReasonText(error) + ". Il file è rimasto com'era.");
}

}  // namespace sapidoro
