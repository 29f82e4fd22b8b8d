// The entry field: the text typed there reaches the line discipline a line
// at a time, on Enter, as a terminal's keys would (the line and '\r');
// Ctrl-D hands over what is typed with '\x04'; a paste of several lines is
// handed over whole, newlines intact, and the text after its last newline
// stays in the field.
export function openEntry(field, input) {
  field.addEventListener('keydown', (event) => {
    const endKey = event.key === 'd' || event.key === 'D';
    if (event.key === 'Enter' || (event.ctrlKey && endKey)) {
      event.preventDefault();
      input(field.value + (event.key === 'Enter' ? '\r' : '\x04'));
      field.value = '';
    }
  });
  field.addEventListener('paste', (event) => {
    const text = event.clipboardData?.getData('text/plain') ?? '';
    const end = text.lastIndexOf('\n');
    if (end < 0) return;
    event.preventDefault();
    input(field.value + text.slice(0, end + 1));
    field.value = text.slice(end + 1);
  });
}
