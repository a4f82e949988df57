// Modal dialogs of the toolkit: message, radio, list, bar-chart, blank and picture boxes.
