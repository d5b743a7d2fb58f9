#pragma once

class QNetworkAccessManager;

// Frees a network client whose requests have all finished, away from the calling thread.
// Freeing a QNetworkAccessManager waits for the network thread it made to end, which on a
// busy machine takes tens of milliseconds; a client made per request would make the window
// wait that long after every answer. The client is taken over once control is back in the
// event loop (the reply that finished may still be on the stack until then), moved to a
// thread kept for this, and freed there. A client freed meanwhile by its parent is left
// alone. Without an application object it is simply freed later on this thread.
void ReleaseNetworkClient(QNetworkAccessManager* manager);
