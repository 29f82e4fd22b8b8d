// The page kept for use without a network: registers the service worker that
// the build writes (service_worker.js), which stores every file of the page.
// When a newer build's worker takes over a page that an older one served, the
// page is reloaded into the new build at a moment that loses nothing: at once
// if nobody has typed or tapped yet, otherwise when "Start again" is chosen
// (the old page must not start its program from the new build's files).
// Where service workers are not offered (file://, plain http to another host)
// or registration fails, the page simply runs without.
//
// The worker is registered once `when` resolves (main.mjs: once the program's
// first prompt is shown), so that registering, and the worker's storing of
// the files, do not delay the page's start; what someone does is followed
// from the first.
export function keepOffline({container, document, reload, when = null}) {
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
  const register = () => container.register('service_worker.js').then(() => true, () => false);
  return when ? when.then(register) : register();
}
