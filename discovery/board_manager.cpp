#include "discovery/board_manager.h"

CBoardManager::CBoardManager(ILoaderManager* listener, IPortMapSource& ports, IProbeSource& probes)
    : listener(listener), comPorts(this, ports), jlink(this, probes)
{
}

CBoardManager::~CBoardManager() { Stop(); }

void CBoardManager::Start()
{
    comPorts.Start();
    jlink.Start();
}

void CBoardManager::Stop()
{
    comPorts.Stop();
    jlink.Stop();
}
