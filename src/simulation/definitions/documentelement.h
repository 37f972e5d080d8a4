// The element of a document that the reader loaded: its first child that is neither the
// declaration, a document type nor a comment (the reader keeps those as elements of their own).
// Null for a document without one, as for a file that could not be read.
#pragma once

class TXmlNode;

TXmlNode* DocumentElement(const TXmlNode& document);
