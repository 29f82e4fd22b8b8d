// xterm.js writes the rules it computes (cell sizes, colours) into <style>
// elements, which the page's Content-Security-Policy refuses: it allows no
// inline styles. Constructed style sheets carry the same rules without
// inline markup, so every <style> element created from here on stays empty
// and the text given to it goes to a sheet of its own instead.
export function routeInlineStyles(document) {
  const createElement = document.createElement.bind(document);
  document.createElement = (name, options) => {
    const element = createElement(name, options);
    if (String(name).toLowerCase() === 'style') adoptSheetFor(document, element);
    return element;
  };
}

function adoptSheetFor(document, element) {
  const sheet = new document.defaultView.CSSStyleSheet();
  let text = '';
  document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];
  Object.defineProperty(element, 'textContent', {
    get: () => text,
    set: (value) => {
      text = String(value ?? '');
      sheet.replaceSync(text);
    },
  });
  const remove = element.remove.bind(element);
  element.remove = () => {
    document.adoptedStyleSheets = document.adoptedStyleSheets.filter((s) => s !== sheet);
    remove();
  };
}
