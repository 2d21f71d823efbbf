#include "app/session.h"

namespace koral {

void LoadFactorySettings(Session& session) {
  LoadFactorySettings(session.banks, session.Defaults());
}

}  // namespace koral
