// The page kept for use without a network: registers the service worker that
// the build writes (service_worker.js), which stores every file of the page.
// When a newer build's worker takes over a page that an older one served, the
// page is reloaded into the new build at a moment that loses nothing: at once
// if nobody has typed or tapped yet, otherwise when "Start again" is chosen
// (the old page must not start its program from the new build's files).
// Where service workers are not offered (file://, plain http to another host)
// or registration fails, the page simply runs without.

export function keepOffline({container, document, reload}) {
  const servedByOlder = Boolean(container.controller);
  let used = false;
  const markUsed = () => { used = true; };
  for (const type of ['keydown', 'pointerdown', 'beforeinput', 'paste']) {
    document.addEventListener(type, markUsed, {capture: true, passive: true});
  }
  container.addEventListener('controllerchange', () => {
    if (!servedByOlder) return;  // the first worker, taking over the page it did not serve
    if (!used) {
      reload();
      return;
    }
    document.addEventListener('click', (event) => {
      if (event.target?.id !== 'again') return;
      event.stopImmediatePropagation();
      reload();
    }, {capture: true});
  });
  return container.register('service_worker.js').then(() => true, () => false);
}

const container = globalThis.navigator?.serviceWorker;
if (container) {
  const start = () => keepOffline({container, document, reload: () => location.reload()});
  // After the page's own start, so that storing the files does not delay it.
  if (document.readyState === 'complete') start();
  else addEventListener('load', start, {once: true});
}
