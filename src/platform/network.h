#pragma once
// Whether the machine is connected to a network, for the e-filing commands.
namespace pit::platform {

// True when the system reports a network connection (local, site-wide or
// the internet); also true when no backend can tell, so that a machine
// whose state is unknown is not kept from filing.
bool InternetConnected();

}  // namespace pit::platform
