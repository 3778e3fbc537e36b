#include "platform/network.h"

#include <QNetworkInformation>

namespace pit::platform {

bool InternetConnected() {
  if (QNetworkInformation::instance() == nullptr &&
      !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
    return true;
  }
  const QNetworkInformation* info = QNetworkInformation::instance();
  if (info == nullptr) return true;
  return info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

}  // namespace pit::platform
